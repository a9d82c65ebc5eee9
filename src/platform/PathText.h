#pragma once

#include <QString>

namespace tessaly {

// "<path>\r\n<text>": how every message that names a path reads, in a box
// and on standard error alike. The one place that text is made.
inline QString withPath(const QString &path, const QString &text)
{
    return path + QStringLiteral("\r\n") + text;
}

} // namespace tessaly
