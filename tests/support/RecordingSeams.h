#pragma once

#include "platform/Clipboard.h"
#include "platform/Desktop.h"

#include <QStringList>

namespace tessaly::testing {

// Records the folders and links the program hands to the desktop.
class DesktopRecorder : public Desktop
{
public:
    bool openFolder(const QString &path) override
    {
        folders.append(path);
        return true;
    }
    bool openUrl(const QString &url) override
    {
        urls.append(url);
        return true;
    }

    QStringList folders;
    QStringList urls;
};

// Keeps what the program put on the clipboard.
class ClipboardRecorder : public Clipboard
{
public:
    void setText(const QString &value) override { texts.append(value); }
    QStringList texts;
};

} // namespace tessaly::testing
