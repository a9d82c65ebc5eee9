#include "site/PageValues.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tessaly::page {

namespace {

// Rewrites each character for which `escape` gives a replacement (empty text
// keeps it). A value that needs nothing is returned as it is, without a copy:
// `needsEscape` finds the first character to rewrite without building a
// replacement for every character before it.
template <typename NeedsEscape, typename Escape>
QString escapedEach(const QString &value, NeedsEscape needsEscape, Escape escape)
{
    const QChar *const begin = value.constData();
    const QChar *const end = begin + value.size();
    const QChar *first = std::find_if(begin, end, needsEscape);
    if (first == end)
        return value;
    QString result;
    result.reserve(value.size() + 16);
    result.append(begin, first - begin);
    for (const QChar *at = first; at != end; ++at) {
        const QString replacement = needsEscape(*at) ? escape(*at) : QString();
        if (replacement.isEmpty())
            result += *at;
        else
            result += replacement;
    }
    return result;
}

} // namespace

QString urlPathPiece(const QString &value)
{
    return escapedEach(
        value,
        [](QChar c) {
            return c.unicode() < 0x20 || c == u'%' || c == u'#' || c == u'?' || c == u'"' || c == u'\\' ||
                   c == u'<' || c == u'>' || c == u'&';
        },
        [](QChar c) { return QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper(); });
}

QString fileNameUrlPiece(const QByteArray &encodedName)
{
    return fileNameUrlPiece(encodedName, QString::fromUtf8(encodedName));
}

QString fileNameUrlPiece(const QByteArray &encodedName, const QString &decoded)
{
    // Valid UTF-8 comes back from decoding whole but for a leading byte-order
    // mark, which decoding drops; only other names need the round trip.
    const bool validUtf8 =
        QByteArrayView(encodedName).isValidUtf8() && !encodedName.startsWith("\xEF\xBB\xBF");
    if (validUtf8 || decoded.toUtf8() == encodedName)
        return urlPathPiece(decoded);
    QString result;
    qsizetype asciiStart = 0;
    const auto takeAscii = [&](qsizetype end) {
        if (end > asciiStart)
            result += urlPathPiece(QString::fromLatin1(encodedName.mid(asciiStart, end - asciiStart)));
    };
    for (qsizetype i = 0; i < encodedName.size(); ++i) {
        const uchar byte = uchar(encodedName.at(i));
        if (byte < 0x80)
            continue;
        takeAscii(i);
        result += QStringLiteral("%%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
        asciiStart = i + 1;
    }
    takeAscii(encodedName.size());
    return result;
}

QString htmlEscaped(const QString &value)
{
    const auto needsEscape = [](QChar c) { return c == u'&' || c == u'<' || c == u'>' || c == u'"'; };
    return escapedEach(value, needsEscape, [](QChar c) {
        switch (c.unicode()) {
        case '&':
            return QStringLiteral("&amp;");
        case '<':
            return QStringLiteral("&lt;");
        case '>':
            return QStringLiteral("&gt;");
        case '"':
            return QStringLiteral("&quot;");
        default:
            return QString();
        }
    });
}

QString scriptEscaped(const QString &value)
{
    const auto needsEscape = [](QChar c) {
        return c == u'\\' || c == u'\'' || c == u'"' || c == u'<' || c == u'\r' || c == u'\n' ||
               c == u'\u2028' || c == u'\u2029';
    };
    return escapedEach(value, needsEscape, [](QChar c) {
        switch (c.unicode()) {
        case '\\':
            return QStringLiteral("\\\\");
        case '\'':
            return QStringLiteral("\\'");
        case '"':
            return QStringLiteral("\\\"");
        case '<':
            return QStringLiteral("\\x3C");
        case '\r':
            return QStringLiteral("\\r");
        case '\n':
            return QStringLiteral("\\n");
        case 0x2028:
            return QStringLiteral("\\u2028");
        case 0x2029:
            return QStringLiteral("\\u2029");
        default:
            return QString();
        }
    });
}

namespace {

QString withBracketsAs(QString value, QStringView replacement)
{
    if (value.contains(u'['))
        value.replace(QStringLiteral("["), replacement.toString());
    return value;
}

} // namespace

QString htmlEscapedStrict(const QString &value)
{
    return withBracketsAs(htmlEscaped(value), u"&#91;");
}

QString urlPathPieceStrict(const QString &value)
{
    return withBracketsAs(urlPathPiece(value), u"%5B");
}

QString fileNameUrlPieceStrict(const QByteArray &encodedName, const QString &decoded)
{
    return withBracketsAs(fileNameUrlPiece(encodedName, decoded), u"%5B");
}

void appendJsonString(QString &out, QStringView value)
{
    static const char16_t Hex[] = u"0123456789ABCDEF";
    out.reserve(out.size() + value.size() + 2);
    out.append(u'"');
    const qsizetype size = value.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = value[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(value[i + 1].unicode())) {
            out.append(value[i]);
            out.append(value[++i]);
            continue;
        }
        if (QChar::isSurrogate(c)) {
            out.append(QStringLiteral("\\uFFFD"));
            continue;
        }
        switch (c) {
        case u'"':
            out.append(QStringLiteral("\\\""));
            continue;
        case u'\\':
            out.append(QStringLiteral("\\\\"));
            continue;
        case u'\n':
            out.append(QStringLiteral("\\n"));
            continue;
        case u'\r':
            out.append(QStringLiteral("\\r"));
            continue;
        case u'\t':
            out.append(QStringLiteral("\\t"));
            continue;
        default:
            break;
        }
        if (c < 0x20 || c == u'<' || c == u'>' || c == u'&' || c == u'[' || c == 0x2028 || c == 0x2029) {
            const char16_t escape[] = {
                u'\\', u'u', Hex[c >> 12], Hex[(c >> 8) & 0xF], Hex[(c >> 4) & 0xF], Hex[c & 0xF]};
            out.append(QStringView(escape, 6));
        } else {
            out.append(QChar(c));
        }
    }
    out.append(u'"');
}

QString jsonSeconds(std::optional<double> seconds)
{
    if (!seconds || !std::isfinite(*seconds) || *seconds < 0)
        return QStringLiteral("null");
    // Written as QString::number(seconds, 'f', 3) writes it (the nearest
    // thousandth, a tie rounded up), at a small part of the cost: a run
    // writes one for every episode. Below 10^9 s the product with 1000 is
    // off the exact one by less than 10^-3, so where its fraction is that
    // far from a half it rounds as the exact value does; the rest go to Qt.
    const double thousandths = *seconds * 1000;
    const double fraction = thousandths - std::floor(thousandths);
    if (*seconds >= 1e9 || std::signbit(*seconds) || std::abs(fraction - 0.5) <= 1e-3)
        return QString::number(*seconds, 'f', 3);
    const long long rounded = (long long)std::floor(thousandths + 0.5);
    char text[32];
    char *end = std::to_chars(text, text + sizeof text, rounded / 1000).ptr;
    const int decimals = int(rounded % 1000);
    *end++ = '.';
    *end++ = char('0' + decimals / 100);
    *end++ = char('0' + decimals / 10 % 10);
    *end++ = char('0' + decimals % 10);
    return QString::fromLatin1(text, end - text);
}

QString relativeFolderPath(const QString &episodeFolder, const QString &movieRoot)
{
    if (movieRoot.isEmpty() || movieRoot == QLatin1String("/"))
        return episodeFolder;
    if (episodeFolder == movieRoot ||
        (episodeFolder.startsWith(movieRoot) && episodeFolder.at(movieRoot.size()) == QLatin1Char('/')))
        return episodeFolder.mid(movieRoot.size());
    return episodeFolder;
}

ClassicAddress classicAddressOf(const QString &webCopy)
{
    const qsizetype slash = webCopy.lastIndexOf(u'/');
    return {QStringLiteral("/../") + webCopy.first(std::max<qsizetype>(slash, 0)), webCopy.sliced(slash + 1)};
}

QString nameWithoutExtension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

} // namespace tessaly::page
