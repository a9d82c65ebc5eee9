#pragma once

#include <QString>

// The page texts built into the program. Every line, the last included, ends
// with CR LF.
namespace tessaly::builtin {

QString styledIndexPage();
QString plainIndexPage();
QString styledCoverCell();
QString plainCoverCell();
QString rowBreak();
// The defaults written to `Style/PageStyle.html`, `ButtonStyle.html` and
// `FunctionStyle.html` when they are missing.
QString playPage();
QString button();
QString function();

} // namespace tessaly::builtin
