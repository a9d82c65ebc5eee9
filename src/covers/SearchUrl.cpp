#include "covers/SearchUrl.h"

namespace tessaly::covers {

namespace {

void appendOctet(QString &out, uint octet)
{
    static const char Hex[] = "0123456789ABCDEF";
    out.append(u'%');
    out.append(QLatin1Char(Hex[(octet >> 4) & 0xF]));
    out.append(QLatin1Char(Hex[octet & 0xF]));
}

void appendUtf8(QString &out, char32_t c)
{
    if (c < 0x800) {
        appendOctet(out, 0xC0 + (c >> 6));
        appendOctet(out, 0x80 + (c & 0x3F));
    } else if (c < 0x10000) {
        appendOctet(out, 0xE0 + (c >> 12));
        appendOctet(out, 0x80 + ((c >> 6) & 0x3F));
        appendOctet(out, 0x80 + (c & 0x3F));
    } else {
        appendOctet(out, 0xF0 + (c >> 18));
        appendOctet(out, 0x80 + ((c >> 12) & 0x3F));
        appendOctet(out, 0x80 + ((c >> 6) & 0x3F));
        appendOctet(out, 0x80 + (c & 0x3F));
    }
}

bool changesUrlShape(char16_t c)
{
    return c < 0x20 || c == 0x7F || c == u'%' || c == u'#' || c == u'&' || c == u'+' || c == u'?' ||
           c == u'/' || c == u' ';
}

} // namespace

QString UTF8EncodeURI(const QString &text)
{
    QString out;
    out.reserve(text.size() * 3);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c <= 0x7F) {
            out.append(QChar(c));
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            appendUtf8(out, QChar::surrogateToUcs4(c, text.at(i + 1).unicode()));
            ++i;
        } else if (QChar::isSurrogate(c)) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

QString encodeKeyword(const QString &keyword)
{
    QString out;
    out.reserve(keyword.size());
    for (QChar c : keyword) {
        if (changesUrlShape(c.unicode()))
            appendOctet(out, c.unicode());
        else
            out.append(c);
    }
    return out;
}

QString fillSearchTemplate(const QString &urlTemplate, const QString &encodedKeyword)
{
    QString url = urlTemplate;
    return url.replace(QLatin1String(TitlePlaceholder), encodedKeyword);
}

QString fetchSearchUrl(const QString &urlTemplate, const QString &keyword)
{
    return fillSearchTemplate(urlTemplate, encodeKeyword(keyword));
}

QString browserSearchUrl(const QString &urlTemplate, const QString &keyword)
{
    return fillSearchTemplate(urlTemplate, UTF8EncodeURI(encodeKeyword(keyword)));
}

} // namespace tessaly::covers
