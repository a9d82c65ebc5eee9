#include "files/Reasons.h"

#include <cerrno>

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
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("文件或文件夹正在使用中");
    case EXDEV:
        return QStringLiteral("不能在不同的文件系统之间移动");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("打开的文件过多");
    case ENOMEM:
        return QStringLiteral("内存不足");
    case EINVAL:
        return QStringLiteral("参数无效");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("设备不存在");
    case ESTALE:
        return QStringLiteral("网络文件系统上的文件已失效");
    case ETIMEDOUT:
        return QStringLiteral("操作超时");
    case EAGAIN:
        return QStringLiteral("资源暂时不可用");
    case EINTR:
        return QStringLiteral("操作被中断");
    // The system's own words are English: the number at least tells
    // someone who helps what happened.
    default:
        return QStringLiteral("系统错误 (错误号 %1)").arg(errnum);
    }
}

} // namespace tessaly::files
