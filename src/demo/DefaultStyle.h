#pragma once

#include <QString>

namespace tessaly::demo {

// Writes `Style.ini` with the values the index page has without one: the
// colours and sizes the plain templates are made of.
bool writeDefaultStyle(const QString &styleFile, QString *reason = nullptr);

} // namespace tessaly::demo
