#pragma once

#include "platform/Messages.h"

#include <QString>

// What generating and publishing the site say, byte for byte.
namespace tessaly::site::texts {

// A run's failure lines: what failed, its path and the reason.
inline QString cannotWrite(const QString &path, const QString &reason)
{
    return QStringLiteral("无法写入 ") + path + QStringLiteral(": ") + reason;
}
inline QString cannotDelete(const QString &path, const QString &reason)
{
    return QStringLiteral("无法删除 ") + path + QStringLiteral(": ") + reason;
}
inline QString cannotRead(const QString &path, const QString &reason)
{
    return QStringLiteral("无法读取 ") + path + QStringLiteral(": ") + reason;
}
inline QString cannotCopy(const QString &source, const QString &target, const QString &reason)
{
    return QStringLiteral("无法复制 ") + source + QStringLiteral(" -> ") + target + QStringLiteral(": ") +
           reason;
}

// Added to a run's closing box when its run log could not be written;
// `failure` is the log's "path: reason".
inline QString logNotWritten(const QString &failure)
{
    return QStringLiteral("\r\n\r\n无法写入 ") + failure;
}

// A value of `Style.ini` that must be a whole number and is not.
inline QString notANumber(const QString &key)
{
    return key + QStringLiteral("的值不是有效的数字!");
}

// A box as the message seam shows it with its usual title, "提示".
inline Message box(MessageIcon icon, const QString &text)
{
    return Message{QStringLiteral("提示"), text, icon, MessageButtons::Ok};
}

} // namespace tessaly::site::texts
