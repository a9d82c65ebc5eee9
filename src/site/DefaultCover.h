#pragma once

#include <QByteArray>
#include <QString>

namespace tessaly {

// The built-in 185 by 250 cover, written as it is for a project without one.
inline constexpr const char *DefaultCoverResource = ":/site/DefaultCover.jpg";
// Empty when the resource cannot be read.
QByteArray defaultCoverBytes();

} // namespace tessaly
