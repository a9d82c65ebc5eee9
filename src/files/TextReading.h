#pragma once

#include <QString>
#include <optional>

// Reading a text file that a run cannot do without: the whole file decoded,
// or the reason it could not be had.
namespace tessaly::text {

// The reason given for a file whose bytes are in no encoding the program reads.
QString undecodableReason();

// The file's bytes decoded; nothing when it cannot be read (the system's
// reason) or decoded (`undecodableReason()`).
std::optional<QString> readDecodedText(const QString &path, QString *reason);

} // namespace tessaly::text
