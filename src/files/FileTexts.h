#pragma once

#include <QString>

// What the file services say, and what every command says of a folder or
// a link, byte for byte.
namespace tessaly::files::texts {

// A folder the user named or configured is not there (after its path).
inline QString folderMissing()
{
    return QStringLiteral("文件夹不存在!");
}

// Why a folder cannot be listed.
inline QString noSuchFolder()
{
    return QStringLiteral("文件夹不存在");
}
inline QString notAFolder()
{
    return QStringLiteral("不是文件夹");
}

// Why nothing is written into or removed from an output folder that is a
// link leading out of the workspace.
inline QString linkLeadsOutside()
{
    return QStringLiteral("链接指向输出文件夹以外");
}

} // namespace tessaly::files::texts
