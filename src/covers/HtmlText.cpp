#include "covers/HtmlText.h"

#include <QUrl>
#include <algorithm>

namespace tessaly::covers {

namespace {

struct NamedReference
{
    QLatin1StringView name;
    char16_t character;
};

constexpr NamedReference NamedReferences[] = {
    {QLatin1StringView("amp"), u'&'},   {QLatin1StringView("lt"), u'<'},
    {QLatin1StringView("gt"), u'>'},    {QLatin1StringView("quot"), u'"'},
    {QLatin1StringView("apos"), u'\''}, {QLatin1StringView("nbsp"), u'\u00A0'},
};

// The longest reference body considered, "#x10FFFF" and the names above.
constexpr qsizetype LongestReference = 8;

bool isValidCodePoint(uint value)
{
    return value > 0 && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
}

// The text a reference body (between "&" and ";") stands for; empty when it
// is not one the program decodes.
QString referenceText(QStringView body)
{
    if (body.startsWith(u'#')) {
        bool ok = false;
        const bool hex = body.size() > 1 && (body[1] == u'x' || body[1] == u'X');
        const QStringView digits = body.mid(hex ? 2 : 1);
        if (digits.isEmpty())
            return {};
        const auto isDigit = [hex](QChar c) {
            const char16_t u = c.unicode();
            return (u >= u'0' && u <= u'9') ||
                   (hex && ((u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F')));
        };
        if (!std::all_of(digits.begin(), digits.end(), isDigit))
            return {};
        const uint value = digits.toUInt(&ok, hex ? 16 : 10);
        if (!ok || !isValidCodePoint(value))
            return {};
        const char32_t codePoint = value;
        return QString::fromUcs4(&codePoint, 1);
    }
    for (const NamedReference &reference : NamedReferences) {
        if (body == reference.name)
            return QString(QChar(reference.character));
    }
    return {};
}

} // namespace

QString decodeCharacterReferences(const QString &text)
{
    const QStringView view(text);
    QString result;
    qsizetype copied = 0;
    for (qsizetype amp = view.indexOf(u'&'); amp >= 0; amp = view.indexOf(u'&', amp + 1)) {
        // Only the few characters a decoded reference can span are searched
        // for its ";", so a page of lone "&" is still read once.
        const QStringView window = view.mid(amp + 1, LongestReference + 1);
        const auto semicolon = std::find(window.begin(), window.end(), QChar(u';'));
        if (semicolon == window.end())
            continue;
        const QString decoded = referenceText(window.first(semicolon - window.begin()));
        if (decoded.isEmpty())
            continue;
        if (result.isNull())
            result.reserve(text.size());
        result.append(view.mid(copied, amp - copied)).append(decoded);
        copied = amp + 1 + (semicolon - window.begin()) + 1;
        amp = copied - 1;
    }
    if (copied == 0)
        return text;
    result.append(view.mid(copied));
    return result;
}

QString withSchemeForLeadingSlashes(const QString &link)
{
    if (link.startsWith(QLatin1String("//")))
        return QStringLiteral("http:") + link;
    return link;
}

bool isWebLink(const QString &link)
{
    const QUrl url(link);
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

} // namespace tessaly::covers
