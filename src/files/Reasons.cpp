#include "files/Reasons.h"

#include <cerrno>
#include <cstring>

namespace tessaly::files {

QString reasonFor(int errnum)
{
    switch (errnum) {
    case EACCES:
    case EPERM:
        return QStringLiteral("没有权限");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("磁盘空间不足");
    case ENAMETOOLONG:
        return QStringLiteral("文件名过长");
    case ENOENT:
        return QStringLiteral("文件或文件夹不存在");
    case ENOTEMPTY:
        return QStringLiteral("文件夹不为空");
    case EEXIST:
        return QStringLiteral("已存在同名的文件或文件夹");
    case EROFS:
        return QStringLiteral("文件系统为只读");
    case EFBIG:
        return QStringLiteral("文件过大");
    case EIO:
        return QStringLiteral("输入输出错误");
    case EISDIR:
        return QStringLiteral("目标是一个文件夹");
    // Said of a named pipe or a device where a file is read.
    case ESPIPE:
        return QStringLiteral("不是普通文件");
    case ENOTDIR:
        return QStringLiteral("路径中有一项不是文件夹");
    case ELOOP:
        return QStringLiteral("路径中的链接过多或指向链接");
    default:
        return QString::fromLocal8Bit(std::strerror(errnum));
    }
}

} // namespace tessaly::files
