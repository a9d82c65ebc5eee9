#include "site/Placeholders.h"

#include "files/TextFile.h"

#include <QRegularExpression>
#include <algorithm>
#include <cstring>
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

bool isPlainPlaceholder(QStringView placeholder)
{
    if (placeholder.size() < 5 || !placeholder.startsWith(u"[[") || !placeholder.endsWith(u"]]"))
        return false;
    const QStringView name = placeholder.sliced(2, placeholder.size() - 4);
    return !name.contains(u'[') && !name.contains(u']');
}

// A value that cannot join the text around it into a placeholder: every
// "[[" of the filled text is then one of the template's own.
bool isInertValue(QStringView value)
{
    const auto opensPlaceholder = [value](qsizetype at) {
        return at + 1 == value.size() || value[at + 1] == u'[';
    };
    // Most values are a few characters (a number, a name), looked at faster
    // here than by a call, four characters at a time: a word has a "["
    // exactly where the test below leaves a high bit. A long one (a list)
    // goes to a vectorised search for "[", which values hold rarely.
    if (value.size() < 64) {
        const char16_t *const units = value.utf16();
        qsizetype at = 0;
        for (; at + 4 <= value.size(); at += 4) {
            quint64 word;
            std::memcpy(&word, units + at, sizeof word);
            const quint64 x = word ^ 0x005B005B005B005BULL;
            if (((x - 0x0001000100010001ULL) & ~x & 0x8000800080008000ULL) == 0)
                continue;
            for (qsizetype i = at; i < at + 4; ++i) {
                if (units[i] == u'[' && opensPlaceholder(i))
                    return false;
            }
        }
        for (; at < value.size(); ++at) {
            if (units[at] == u'[' && opensPlaceholder(at))
                return false;
        }
        return true;
    }
    for (qsizetype at = value.indexOf(u'['); at >= 0; at = value.indexOf(u'[', at + 1)) {
        if (opensPlaceholder(at))
            return false;
    }
    return true;
}

} // namespace

TemplateFiller::TemplateFiller(const QString &text, const QStringList &placeholders)
    : m_text(text), m_placeholders(placeholders)
{
    for (const QString &placeholder : placeholders) {
        if (!isPlainPlaceholder(placeholder))
            return;
    }
    // Every "[[" of the template must open one of the placeholders; the
    // literal text between them then holds no "[[" and cannot end in "["
    // before a placeholder.
    std::vector<Piece> pieces;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(u"[["); at >= 0; at = text.indexOf(u"[[", from)) {
        int slot = -1;
        for (int i = 0; i < placeholders.size() && slot < 0; ++i) {
            if (QStringView(text).sliced(at).startsWith(placeholders.at(i)))
                slot = i;
        }
        if (slot < 0)
            return;
        pieces.push_back({from, at - from, slot});
        from = at + placeholders.at(slot).size();
    }
    pieces.push_back({from, text.size() - from, -1});
    m_pieces = std::move(pieces);
}

void TemplateFiller::appendFilled(QString &out, std::initializer_list<QStringView> values) const
{
    bool inert = !m_pieces.empty();
    for (const QStringView value : values)
        inert = inert && isInertValue(value);
    if (!inert) {
        QString text = m_text;
        const QStringView *value = values.begin();
        for (const QString &placeholder : m_placeholders)
            fillPlaceholder(text, placeholder, (value++)->toString());
        out.append(text);
        return;
    }
    // The size first, then one copy of each piece into place: a list of
    // episodes is filled tens of thousands of times a run, and an append
    // for every piece costs more than the copying itself.
    const QStringView *value = values.begin();
    qsizetype size = 0;
    for (const Piece &piece : m_pieces)
        size += piece.size + (piece.slot >= 0 ? value[piece.slot].size() : 0);
    const qsizetype start = out.size();
    out.resize(start + size);
    QChar *at = out.data() + start;
    const auto copy = [&at](QStringView text) {
        std::copy(text.begin(), text.end(), at);
        at += text.size();
    };
    for (const Piece &piece : m_pieces) {
        copy(QStringView(m_text).sliced(piece.from, piece.size));
        if (piece.slot >= 0)
            copy(value[piece.slot]);
    }
}

QString TemplateFiller::filled(std::initializer_list<QStringView> values) const
{
    QString out;
    appendFilled(out, values);
    return out;
}

QByteArray TemplateFiller::filledFileBytes(std::initializer_list<QStringView> values) const
{
    bool inert = !m_pieces.empty();
    for (const QStringView value : values)
        inert = inert && isInertValue(value);
    if (!inert)
        return text::fileBytes(filled(values));
    // Code page 936 piece by piece gives the bytes of the whole; a piece it
    // cannot carry sends the whole to `fileBytes`, which then takes GB18030.
    const QStringView *value = values.begin();
    qsizetype size = 2;
    for (const Piece &piece : m_pieces)
        size += piece.size + (piece.slot >= 0 ? value[piece.slot].size() : 0);
    QByteArray bytes;
    bytes.reserve(size * 2);
    for (const Piece &piece : m_pieces) {
        if (!text::appendInCodePage936(bytes, QStringView(m_text).sliced(piece.from, piece.size)) ||
            (piece.slot >= 0 && !text::appendInCodePage936(bytes, value[piece.slot])))
            return text::fileBytes(filled(values));
    }
    bytes.append("\r\n", 2);
    return bytes;
}

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
