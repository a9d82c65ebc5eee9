#include "site/Placeholders.h"

#include <QRegularExpression>
#include <limits>

namespace tessaly {

namespace {

// Placeholders start with "[", which templates hold rarely: a vectorised
// search for that character, then a compare, beats a general string search
// that prepares itself on every call.
qsizetype findPlaceholder(QStringView text, QStringView placeholder, qsizetype from)
{
    const QChar first = placeholder.front();
    const qsizetype lastStart = text.size() - placeholder.size();
    while (from <= lastStart) {
        const qsizetype at = text.indexOf(first, from);
        if (at < 0 || at > lastStart)
            return -1;
        if (text.mid(at, placeholder.size()) == placeholder)
            return at;
        from = at + 1;
    }
    return -1;
}

} // namespace

void fillPlaceholder(QString &text, const QString &placeholder, const QString &value)
{
    if (placeholder.isEmpty())
        return;
    qsizetype at = findPlaceholder(text, placeholder, 0);
    if (at < 0)
        return;
    // One pass that builds the result, so a long text with many occurrences
    // stays linear in its size.
    QString result;
    result.reserve(text.size() + value.size());
    qsizetype from = 0;
    for (; at >= 0; at = findPlaceholder(text, placeholder, from)) {
        result.append(QStringView(text).mid(from, at - from));
        result.append(value);
        from = at + placeholder.size();
    }
    result.append(QStringView(text).mid(from));
    text = result;
}

std::optional<int> wholeNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral(R"(^[ \t]*([+-]?)([0-9]*)(?:\.([0-9]*))?[ \t]*$)"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QString digits = match.captured(2);
    const QString fraction = match.captured(3);
    if (digits.isEmpty() && fraction.isEmpty())
        return std::nullopt;

    // Decided on the digits themselves, so 2147483647.5 and long fractions
    // round exactly as written.
    QString integral = digits;
    while (integral.size() > 1 && integral.startsWith(QLatin1Char('0')))
        integral.remove(0, 1);
    if (integral.size() > 11)
        return std::nullopt;
    qint64 magnitude = integral.isEmpty() ? 0 : integral.toLongLong();
    if (!fraction.isEmpty()) {
        const QChar first = fraction.at(0);
        const bool restNonZero = fraction.mid(1).contains(QRegularExpression(QStringLiteral("[1-9]")));
        if (first > QLatin1Char('5') || (first == QLatin1Char('5') && restNonZero))
            ++magnitude;
        else if (first == QLatin1Char('5') && magnitude % 2 == 1)
            ++magnitude;
    }
    const qint64 value = match.captured(1) == QLatin1String("-") ? -magnitude : magnitude;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

} // namespace tessaly
