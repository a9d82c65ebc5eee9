#pragma once

#include <QString>

namespace tessaly::covers {

// Decodes the character references a cut value may hold: &amp; &lt; &gt;
// &quot; &#39; &apos; &nbsp; and numeric ones (&#NNN; &#xHH;). Anything else
// that starts with "&" stays as it is.
QString decodeCharacterReferences(const QString &text);

// A link written without scheme ("//host/a.jpg") gets "http:"; every other
// "//" in it stays.
QString withSchemeForLeadingSlashes(const QString &link);

// Only http and https links are downloaded or handed to the desktop.
bool isWebLink(const QString &link);

} // namespace tessaly::covers
