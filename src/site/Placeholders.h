#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <initializer_list>
#include <optional>
#include <vector>

namespace tessaly {

// Replaces every occurrence of the placeholder in one scan from the start,
// comparing exactly. Text inserted here is not scanned again by this call;
// a later call does see it.
void fillPlaceholder(QString &text, const QString &placeholder, const QString &value);

// A template filled many times with the same placeholders, in the same
// order: split once at its placeholders, so that each fill is one run of
// appends instead of a scan of the whole text per placeholder. The result
// is always what `fillPlaceholder` for each placeholder in turn gives; a
// template or a value that could make a placeholder out of the text around
// it (a "[[" of its own, a value ending in "[") is filled that slower way.
class TemplateFiller
{
public:
    TemplateFiller() = default;
    // Placeholders of the form "[[Name]]".
    TemplateFiller(const QString &text, const QStringList &placeholders);

    // Appends the template filled with one value per placeholder, in the
    // order the placeholders were given.
    void appendFilled(QString &out, std::initializer_list<QStringView> values) const;
    QString filled(std::initializer_list<QStringView> values) const;
    // `text::fileBytes` of `filled(values)`, encoded piece by piece without
    // the filled text in between (a play page is as long as its lists).
    QByteArray filledFileBytes(std::initializer_list<QStringView> values) const;

private:
    struct Piece
    {
        qsizetype from = 0;
        qsizetype size = 0;
        int slot = -1; // the placeholder after the literal text, -1 at the end
    };

    QString m_text;
    QStringList m_placeholders;
    std::vector<Piece> m_pieces; // empty when the template is filled the slow way
};

// The whole-number rule of the style file: a decimal number with optional
// blanks around it and an optional sign (no exponent, no unit), rounded to
// the nearest integer with a half going to the even neighbour. Nothing when
// the text is not such a number or leaves the signed 32-bit range.
std::optional<int> wholeNumber(const QString &text);

} // namespace tessaly
