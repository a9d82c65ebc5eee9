#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

// What the program keeps between runs as JSON (the probe's cache, the
// record of subtitle tracks): one object that names its format and version
// beside its members, so that a file of another program, or of a version
// that stored things otherwise, is known and ignored.
namespace tessaly::files::versioned_json {

// The object with "format" and "version" added, as compact JSON.
QByteArray bytes(const QString &format, int version, QJsonObject object);
// The object the bytes hold; nothing when they are not JSON of this format
// and version.
std::optional<QJsonObject> read(const QByteArray &bytes, const QString &format, int version);

} // namespace tessaly::files::versioned_json
