#pragma once

#include "site/StyleValues.h"

#include <QString>

// The texts of the new page set ("新版"), UTF-8 pages for phones and large
// libraries. Every line, the last included, ends with CR LF.
namespace tessaly::modern {

// The index page and the cover cell, built in; the style load colours and
// sizes them. The index page keeps `[[Text]]` for the cells; the cell keeps
// `[[TitleLink]]`, `[[Title]]`, `[[Number]]` and `[[Duration]]`.
QString indexPage(const style_values::Values &values, const QString &siteName);
QString coverCell(const style_values::Values &values);

// The defaults written to `Style/新版/PageStyle.html`, `ButtonStyle.html`
// and `FunctionStyle.html` when they are missing.
QString playPage();
QString button();
QString function();

// The bytes of a template file of the set: UTF-8, CR LF after the text.
QByteArray fileBytes(const QString &text);
// A template file's text: UTF-8 with or without a byte-order mark (which is
// dropped); nothing when the bytes are not UTF-8.
std::optional<QString> decode(const QByteArray &bytes);

} // namespace tessaly::modern
