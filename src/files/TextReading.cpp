#include "files/TextReading.h"

#include "files/FileServices.h"
#include "files/TextFile.h"

namespace tessaly::text {

QString undecodableReason()
{
    return QStringLiteral("无法识别的文字编码");
}

std::optional<QString> readDecodedText(const QString &path, QString *reason)
{
    const std::optional<QByteArray> bytes = files::readFileBytes(path, reason);
    if (!bytes)
        return std::nullopt;
    std::optional<QString> decoded = decode(*bytes);
    if (!decoded && reason)
        *reason = undecodableReason();
    return decoded;
}

} // namespace tessaly::text
