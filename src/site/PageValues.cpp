#include "site/PageValues.h"

#include <algorithm>

namespace tessaly::page {

QString urlPathPiece(const QString &value)
{
    const auto needsEncoding = [](QChar c) {
        return c.unicode() < 0x20 || c == QLatin1Char('%') || c == QLatin1Char('#') ||
               c == QLatin1Char('?') || c == QLatin1Char('"') || c == QLatin1Char('\\') ||
               c == QLatin1Char('<') || c == QLatin1Char('>');
    };
    if (std::none_of(value.begin(), value.end(), needsEncoding))
        return value;
    QString result;
    result.reserve(value.size() + 16);
    for (QChar c : value) {
        if (needsEncoding(c))
            result += QLatin1Char('%') +
                      QString::number(c.unicode(), 16).toUpper().rightJustified(2, QLatin1Char('0'));
        else
            result += c;
    }
    return result;
}

QString htmlEscaped(const QString &value)
{
    const auto needsEscape = [](QChar c) {
        return c == QLatin1Char('&') || c == QLatin1Char('<') || c == QLatin1Char('>') ||
               c == QLatin1Char('"');
    };
    if (std::none_of(value.begin(), value.end(), needsEscape))
        return value;
    QString result;
    result.reserve(value.size());
    for (QChar c : value) {
        switch (c.unicode()) {
        case '&':
            result += QStringLiteral("&amp;");
            break;
        case '<':
            result += QStringLiteral("&lt;");
            break;
        case '>':
            result += QStringLiteral("&gt;");
            break;
        case '"':
            result += QStringLiteral("&quot;");
            break;
        default:
            result += c;
        }
    }
    return result;
}

QString scriptEscaped(const QString &value)
{
    const auto needsEscape = [](QChar c) {
        return c == QLatin1Char('\\') || c == QLatin1Char('\'') || c == QLatin1Char('"') ||
               c == QLatin1Char('<') || c == QLatin1Char('\r') || c == QLatin1Char('\n') ||
               c.unicode() == 0x2028 || c.unicode() == 0x2029;
    };
    if (std::none_of(value.begin(), value.end(), needsEscape))
        return value;
    QString result;
    result.reserve(value.size());
    for (QChar c : value) {
        switch (c.unicode()) {
        case '\\':
        case '\'':
        case '"':
            result += QLatin1Char('\\');
            result += c;
            break;
        case '<':
            result += QStringLiteral("\\x3C");
            break;
        case '\r':
            result += QStringLiteral("\\r");
            break;
        case '\n':
            result += QStringLiteral("\\n");
            break;
        case 0x2028:
            result += QStringLiteral("\\u2028");
            break;
        case 0x2029:
            result += QStringLiteral("\\u2029");
            break;
        default:
            result += c;
        }
    }
    return result;
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

QString nameWithoutExtension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? fileName : fileName.left(dot);
}

} // namespace tessaly::page
