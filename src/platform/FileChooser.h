#pragma once

#include <QString>

namespace tessaly {

// The open-file and folder dialogs: block on the user, return the chosen
// path or empty text when cancelled.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    // `filter` is one entry such as "图片文件(*.jpg)"; its patterns match
    // without regard to letter case.
    virtual QString openFile(const QString &filter) = 0;
    // The same dialog opened in `startFolder`.
    virtual QString openFileIn(const QString &filter, const QString &startFolder)
    {
        Q_UNUSED(startFolder);
        return openFile(filter);
    }
    // An existing folder, the dialog opened in `startFolder`.
    virtual QString chooseFolder(const QString &startFolder)
    {
        Q_UNUSED(startFolder);
        return {};
    }
};

} // namespace tessaly
