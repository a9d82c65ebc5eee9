#include "covers/PageDecoding.h"

#include <QStringDecoder>
#include <optional>

namespace tessaly::covers {

namespace {

// Only the page's start is searched for a meta charset, as browsers do.
constexpr qsizetype MetaSearchBytes = 4096;

// The decoder's name for a charset label; nothing for an unknown label.
std::optional<QString> decoderName(QByteArray label)
{
    label = label.trimmed().toLower();
    if (label.size() >= 2 && (label.startsWith('"') || label.startsWith('\'')))
        label = label.mid(1, label.size() - 2).trimmed();
    if (label.isEmpty())
        return std::nullopt;
    if (label == "gb2312" || label == "gbk" || label == "x-gbk" || label == "gb18030")
        return QStringLiteral("GB18030");
    if (label == "utf8")
        return QStringLiteral("UTF-8");
    if (!QStringDecoder(label.constData()).isValid())
        return std::nullopt;
    return QString::fromLatin1(label);
}

// The value after "charset=" in a header or attribute text, up to the next
// separator.
QByteArray charsetParameter(const QByteArray &text)
{
    const qsizetype at = text.toLower().indexOf("charset=");
    if (at < 0)
        return {};
    qsizetype start = at + 8;
    while (start < text.size() && (text[start] == '"' || text[start] == '\'' || text[start] == ' '))
        ++start;
    qsizetype end = start;
    while (end < text.size() && !QByteArrayView(";\"' />\t\r\n").contains(text[end]))
        ++end;
    return text.mid(start, end - start);
}

std::optional<QString> byteOrderMarkCharset(const QByteArray &page)
{
    if (page.startsWith("\xEF\xBB\xBF"))
        return QStringLiteral("UTF-8");
    if (page.startsWith("\xFF\xFE"))
        return QStringLiteral("UTF-16LE");
    if (page.startsWith("\xFE\xFF"))
        return QStringLiteral("UTF-16BE");
    return std::nullopt;
}

// The charset of the first `<meta` tag that names one.
std::optional<QString> metaCharset(const QByteArray &page)
{
    const QByteArray head = page.left(MetaSearchBytes);
    const QByteArray lower = head.toLower();
    qsizetype at = lower.indexOf("<meta");
    while (at >= 0) {
        qsizetype end = lower.indexOf('>', at);
        if (end < 0)
            end = lower.size();
        const QByteArray tag = head.mid(at, end - at);
        if (const std::optional<QString> name = decoderName(charsetParameter(tag)))
            return name;
        at = lower.indexOf("<meta", end);
    }
    return std::nullopt;
}

} // namespace

QString pageCharset(const QByteArray &page, const QByteArray &contentType)
{
    if (const std::optional<QString> name = decoderName(charsetParameter(contentType)))
        return *name;
    if (const std::optional<QString> name = byteOrderMarkCharset(page))
        return *name;
    if (const std::optional<QString> name = metaCharset(page))
        return *name;
    return QStringLiteral("UTF-8");
}

QString decodePage(const QByteArray &page, const QByteArray &contentType)
{
    QStringDecoder decoder(pageCharset(page, contentType).toLatin1().constData(),
                           QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    // The decoder drops a byte-order mark of its own encoding.
    return decoder.decode(page);
}

} // namespace tessaly::covers
