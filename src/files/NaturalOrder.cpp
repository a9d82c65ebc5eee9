#include "files/NaturalOrder.h"

#include "files/FileServices.h"
#include "files/FolderCalls.h"

#include <QVarLengthArray>
#include <algorithm>

namespace tessaly::files {

namespace {

// A character stands for itself as (unit << 1) | 1; a number as the even
// element of "0", its count of digits and the digits. A number then sorts
// where an ASCII digit would, and no other character can be taken for it,
// since ASCII digits always make numbers.
constexpr char32_t NumberMark = char32_t(u'0') << 1;

int digitValue(QChar c)
{
    const char16_t unit = c.unicode();
    if (unit >= u'0' && unit <= u'9')
        return unit - u'0';
    if (unit >= u'０' && unit <= u'９')
        return unit - u'０';
    return -1;
}

int chineseDigit(QChar c)
{
    switch (c.unicode()) {
    case u'零':
    case u'〇':
        return 0;
    case u'一':
        return 1;
    case u'二':
    case u'两':
        return 2;
    case u'三':
        return 3;
    case u'四':
        return 4;
    case u'五':
        return 5;
    case u'六':
        return 6;
    case u'七':
        return 7;
    case u'八':
        return 8;
    case u'九':
        return 9;
    default:
        return -1;
    }
}

int chineseUnit(QChar c)
{
    switch (c.unicode()) {
    case u'十':
        return 10;
    case u'百':
        return 100;
    case u'千':
        return 1000;
    default:
        return 0;
    }
}

bool isChineseNumeral(QChar c)
{
    return chineseDigit(c) >= 0 || chineseUnit(c) > 0;
}

// The words a count stands before: 第三集, 第十话, 第二季, ...; the
// traditional forms of 话 and 辑 count too.
bool isCountingWord(QChar c)
{
    static constexpr char16_t Words[] = u"集话話回期季部卷章篇辑輯";
    return std::find(std::begin(Words), std::end(Words) - 1, c.unicode()) != std::end(Words) - 1;
}

} // namespace

QByteArray chineseNumeralValue(QStringView numerals)
{
    const bool positional =
        std::none_of(numerals.begin(), numerals.end(), [](QChar c) { return chineseUnit(c) > 0; });
    QByteArray digits;
    if (positional) {
        // 一〇一, 二零二三: one digit per numeral.
        for (const QChar c : numerals)
            digits.append(char('0' + chineseDigit(c)));
    } else {
        // 十二, 二十, 一百零一: a unit without a digit before it means one of it.
        quint64 total = 0;
        quint64 current = 0;
        for (const QChar c : numerals) {
            if (const int unit = chineseUnit(c)) {
                total += (current == 0 ? 1 : current) * quint64(unit);
                current = 0;
            } else {
                current = quint64(chineseDigit(c));
            }
        }
        digits = QByteArray::number(total + current);
    }
    qsizetype zeros = 0;
    while (zeros + 1 < digits.size() && digits.at(zeros) == '0')
        ++zeros;
    return digits.isEmpty() ? QByteArray("0") : digits.mid(zeros);
}

namespace {

// The key elements of the piece of `folded` at `i`: one character, or a
// whole number. Returns where the next piece begins. A piece's elements are
// never a proper prefix of another piece's (a character is one odd element,
// a number says its count of digits before them), so comparing names piece
// by piece is comparing their keys.
// A run of digits from `i`: its significant digits (none for zero) and
// where it ends.
struct NumberRun
{
    qsizetype begin;
    qsizetype significantEnd;
    qsizetype end;
    qsizetype count() const { return significantEnd - begin; }
};

NumberRun numberRunAt(QStringView folded, qsizetype i)
{
    const qsizetype size = folded.size();
    while (i + 1 < size && digitValue(folded[i]) == 0 && digitValue(folded[i + 1]) >= 0)
        ++i;
    qsizetype end = i;
    while (end < size && digitValue(folded[end]) >= 0)
        ++end;
    const bool zero = end - i == 1 && digitValue(folded[i]) == 0;
    return {i, zero ? i : end, end};
}

template <typename Out> qsizetype appendPiece(QStringView folded, qsizetype i, Out &out)
{
    const qsizetype size = folded.size();
    if (digitValue(folded[i]) >= 0) {
        const NumberRun run = numberRunAt(folded, i);
        out.push_back(NumberMark);
        out.push_back(char32_t(run.count()));
        for (qsizetype k = run.begin; k < run.significantEnd; ++k)
            out.push_back(char32_t(digitValue(folded[k])));
        return run.end;
    }
    if (i > 0 && folded[i - 1] == u'第' && isChineseNumeral(folded[i])) {
        qsizetype end = i;
        while (end < size && isChineseNumeral(folded[end]))
            ++end;
        if (end < size && isCountingWord(folded[end])) {
            const QByteArray digits = chineseNumeralValue(folded.sliced(i, end - i));
            const QByteArrayView significant = digits == "0" ? QByteArrayView() : QByteArrayView(digits);
            out.push_back(NumberMark);
            out.push_back(char32_t(significant.size()));
            for (const char digit : significant)
                out.push_back(char32_t(digit - '0'));
            return end;
        }
    }
    out.push_back((char32_t(folded[i].unicode()) << 1) | 1);
    return i + 1;
}

} // namespace

namespace detail {

qsizetype appendNaturalKey(QStringView folded, std::vector<char32_t> &keys)
{
    const size_t start = keys.size();
    for (qsizetype i = 0; i < folded.size();)
        i = appendPiece(folded, i, keys);
    return qsizetype(keys.size() - start);
}

namespace {

// The pieces at `i` and `j` by their elements; moves both past them.
int comparePieces(QStringView first, qsizetype &i, QStringView second, qsizetype &j)
{
    QVarLengthArray<char32_t, 32> a;
    QVarLengthArray<char32_t, 32> b;
    i = appendPiece(first, i, a);
    j = appendPiece(second, j, b);
    return compareNaturalKeys(a.constData(), a.size(), b.constData(), b.size());
}

} // namespace

int compareNatural(QStringView first, QStringView second)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < first.size() && j < second.size()) {
        // Most names share their first characters: those are compared
        // without making their elements.
        if (first[i] == second[j] && digitValue(first[i]) < 0 && !isChineseNumeral(first[i])) {
            ++i;
            ++j;
            continue;
        }
        if (digitValue(first[i]) >= 0 && digitValue(second[j]) >= 0) {
            const NumberRun x = numberRunAt(first, i);
            const NumberRun y = numberRunAt(second, j);
            if (x.count() != y.count())
                return x.count() < y.count() ? -1 : 1;
            for (qsizetype k = 0; k < x.count(); ++k) {
                const int dx = digitValue(first[x.begin + k]);
                const int dy = digitValue(second[y.begin + k]);
                if (dx != dy)
                    return dx < dy ? -1 : 1;
            }
            i = x.end;
            j = y.end;
            continue;
        }
        if (const int piece = comparePieces(first, i, second, j); piece != 0)
            return piece;
    }
    const bool firstLeft = i < first.size();
    const bool secondLeft = j < second.size();
    return firstLeft == secondLeft ? 0 : firstLeft ? 1 : -1;
}

int compareNaturalKeys(const char32_t *first, qsizetype firstSize, const char32_t *second,
                       qsizetype secondSize)
{
    const qsizetype common = std::min(firstSize, secondSize);
    for (qsizetype i = 0; i < common; ++i) {
        if (first[i] != second[i])
            return first[i] < second[i] ? -1 : 1;
    }
    return firstSize == secondSize ? 0 : firstSize < secondSize ? -1 : 1;
}

} // namespace detail

QList<char32_t> naturalKey(QStringView folded)
{
    std::vector<char32_t> keys;
    detail::appendNaturalKey(folded, keys);
    return QList<char32_t>(keys.begin(), keys.end());
}

bool naturalLess(const QString &first, const QString &second)
{
    const QList<char32_t> firstKey = naturalKey(first.toCaseFolded());
    const QList<char32_t> secondKey = naturalKey(second.toCaseFolded());
    if (const int natural = detail::compareNaturalKeys(firstKey.constData(), firstKey.size(),
                                                       secondKey.constData(), secondKey.size());
        natural != 0)
        return natural < 0;
    return nameLess(first, second);
}

} // namespace tessaly::files
