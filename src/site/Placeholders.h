#pragma once

#include <QString>
#include <optional>

namespace tessaly {

// Replaces every occurrence of the placeholder in one scan from the start,
// comparing exactly. Text inserted here is not scanned again by this call;
// a later call does see it.
void fillPlaceholder(QString &text, const QString &placeholder, const QString &value);

// The whole-number rule of the style file: a decimal number with optional
// blanks around it and an optional sign (no exponent, no unit), rounded to
// the nearest integer with a half going to the even neighbour. Nothing when
// the text is not such a number or leaves the signed 32-bit range.
std::optional<int> wholeNumber(const QString &text);

} // namespace tessaly
