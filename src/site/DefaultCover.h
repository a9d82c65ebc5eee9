#pragma once

#include <QByteArray>
#include <QString>

namespace tessaly {

// The built-in 185 by 250 cover, written as it is for a project without one.
inline constexpr const char *DefaultCoverResource = ":/site/DefaultCover.jpg";
// Empty when the resource cannot be read.
QByteArray defaultCoverBytes();

// True for the built-in cover and for every earlier built-in cover, byte for
// byte: such a cover file was written by the program, not chosen by the
// user, so generation may replace it with today's.
bool isBuiltinDefaultCover(const QByteArray &bytes);
// True for a file that holds an earlier built-in cover, which the next
// generation or update replaces with today's.
bool isEarlierDefaultCoverFile(const QString &path);
// False for a file of a size no earlier built-in cover had, which spares
// reading it.
bool mayBeEarlierDefaultCover(qint64 size);

} // namespace tessaly
