#pragma once

#include "platform/Desktop.h"

#include <QStringList>

namespace tessaly::testing {

// Records every folder and link handed to the desktop, opens nothing.
class RecordingDesktop : public Desktop
{
public:
    bool openFolder(const QString &path) override;
    bool openUrl(const QString &url) override;

    const QStringList &folders() const { return m_folders; }
    const QStringList &urls() const { return m_urls; }
    bool isEmpty() const { return m_folders.isEmpty() && m_urls.isEmpty(); }
    // As a desktop without a file manager or browser: records, opens nothing.
    void refuseEverything() { m_refusing = true; }

private:
    QStringList m_folders;
    QStringList m_urls;
    bool m_refusing = false;
};

} // namespace tessaly::testing
