#pragma once

#include <QString>
#include <QUrl>

namespace tessaly {

// The URL a typed link stands for, as a shell's open action would take it:
// a link with a scheme as it is, a bare host or address such as
// "192.168.1.2/movie" as http. Empty or unusable text gives an empty URL,
// which nobody opens.
QUrl urlForLink(const QString &link);

} // namespace tessaly
