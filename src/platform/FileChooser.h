#pragma once

#include <QString>

namespace tessaly {

// The open-file dialog: blocks on the user, returns the chosen file or
// empty text when cancelled.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    // `filter` is one entry such as "图片文件(*.jpg)"; its patterns match
    // without regard to letter case.
    virtual QString openFile(const QString &filter) = 0;
};

} // namespace tessaly
