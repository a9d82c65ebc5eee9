#pragma once

#include <QString>

namespace tessaly::covers {

// The file name (no folder) of a row's candidate picture in `Temp`. A title
// that is a safe file name gives "<title>.jpg". Otherwise path characters
// (/ \ : * ? " < > |) and control characters become "_", a leading "." or an
// empty name gets a "_" in front, the name is cut to 200 UTF-8 bytes at a
// character boundary, and "-" with the first 8 hex digits of the SHA-1 of
// the title's UTF-8 bytes comes before ".jpg", so different titles do not
// share a file by accident.
QString candidateFileName(const QString &title);

// The candidate file directly in the given folder.
QString candidateFilePath(const QString &tempFolder, const QString &title);

} // namespace tessaly::covers
