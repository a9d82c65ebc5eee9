#include "files/VersionedJson.h"

#include <QJsonDocument>

namespace tessaly::files::versioned_json {

QByteArray bytes(const QString &format, int version, QJsonObject object)
{
    object.insert(QStringLiteral("format"), format);
    object.insert(QStringLiteral("version"), version);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<QJsonObject> read(const QByteArray &bytes, const QString &format, int version)
{
    const QJsonObject object = QJsonDocument::fromJson(bytes).object();
    if (object.value(QStringLiteral("format")).toString() != format ||
        object.value(QStringLiteral("version")).toInt() != version)
        return std::nullopt;
    return object;
}

} // namespace tessaly::files::versioned_json
