#include "site/PageValues.h"

namespace tessaly::page {

namespace {

// Rewrites each character for which `escape` gives a replacement (empty text
// keeps it). A value that needs nothing is returned as it is, without a copy.
template <typename Escape> QString escapedEach(const QString &value, Escape escape)
{
    QString result;
    bool changed = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QString replacement = escape(value.at(i));
        if (replacement.isEmpty()) {
            if (changed)
                result += value.at(i);
            continue;
        }
        if (!changed) {
            result.reserve(value.size() + 16);
            result = value.left(i);
            changed = true;
        }
        result += replacement;
    }
    return changed ? result : value;
}

} // namespace

QString urlPathPiece(const QString &value)
{
    return escapedEach(value, [](QChar c) {
        const bool encode = c.unicode() < 0x20 || c == u'%' || c == u'#' || c == u'?' || c == u'"' ||
                            c == u'\\' || c == u'<' || c == u'>' || c == u'&';
        return encode ? QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper() : QString();
    });
}

QString fileNameUrlPiece(const QByteArray &encodedName)
{
    const QString decoded = QString::fromUtf8(encodedName);
    if (decoded.toUtf8() == encodedName)
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
    return escapedEach(value, [](QChar c) {
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
    return escapedEach(value, [](QChar c) {
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
