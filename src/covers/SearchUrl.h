#pragma once

#include <QString>

namespace tessaly::covers {

// The placeholder a search URL template holds for the keyword.
inline constexpr const char *TitlePlaceholder = "[[Title]]";

// `UTF8EncodeURI`: ASCII stays as it is; every other character becomes its
// UTF-8 octets as "%XX" (uppercase hex). A surrogate pair is one character
// of four octets; a lone surrogate is encoded as U+FFFD.
QString UTF8EncodeURI(const QString &text);

// Percent-encodes the characters of a keyword that would change the URL's
// shape: "%", "#", "&", "+", "?", "/", space and control characters. The
// rest is left for the caller's own encoding.
QString encodeKeyword(const QString &keyword);

// The template with every "[[Title]]" (case-sensitive) replaced.
QString fillSearchTemplate(const QString &urlTemplate, const QString &encodedKeyword);

// The URL of the page-fetch search; the HTTP client puts non-ASCII on the
// wire as UTF-8.
QString fetchSearchUrl(const QString &urlTemplate, const QString &keyword);
// The URL of the browser search: the keyword fully percent-encoded as UTF-8.
QString browserSearchUrl(const QString &urlTemplate, const QString &keyword);

} // namespace tessaly::covers
