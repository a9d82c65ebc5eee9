#include "covers/CoverScan.h"

#include "covers/HtmlText.h"

#include <optional>

namespace tessaly::covers {

namespace {

const QString ImgMarker = QStringLiteral("<img");
const QString TitleMarker = QStringLiteral("title=");
const QString DataSrcMarker = QStringLiteral("data-src=");
const QString DataOriginalMarker = QStringLiteral("data-original=");
const QChar Quote = QLatin1Char('"');
const QChar TagEnd = QLatin1Char('>');

// The double-quoted value after the first `marker` of the tag: the tag's
// last character is left out, every marker followed by a quote removed, and
// the value ends at the first quote left. Nothing when the quote is missing.
std::optional<QString> quotedValue(const QString &tag, const QString &marker)
{
    const qsizetype start = tag.indexOf(marker);
    if (start < 0)
        return std::nullopt;
    QString cut = tag.mid(start, tag.size() - 1 - start);
    cut.remove(marker + Quote);
    const qsizetype end = cut.indexOf(Quote);
    if (end < 0)
        return std::nullopt;
    return cut.left(end);
}

bool isAcceptedImageTag(const QString &tag)
{
    return tag.contains(QLatin1String("src=")) && tag.contains(DataSrcMarker) &&
           tag.contains(QLatin1String("width="));
}

} // namespace

QList<CoverCandidate> scanImageTags(const QString &page)
{
    QList<CoverCandidate> rows;
    qsizetype p = page.indexOf(ImgMarker);
    while (p >= 0) {
        const qsizetype q = page.indexOf(TagEnd, p + ImgMarker.size());
        if (q < 0)
            break;
        const QString tag = page.mid(p + ImgMarker.size(), q - p - ImgMarker.size());
        p = page.indexOf(ImgMarker, q);
        if (!isAcceptedImageTag(tag))
            continue;
        const std::optional<QString> link = quotedValue(tag, DataSrcMarker);
        const std::optional<QString> title = link ? quotedValue(tag, TitleMarker) : std::nullopt;
        if (!link || !title)
            break;
        rows.append({decodeCharacterReferences(*title),
                     withSchemeForLeadingSlashes(decodeCharacterReferences(*link))});
    }
    return rows;
}

QList<CoverCandidate> scanBrowserMarkup(const QString &markup)
{
    QList<CoverCandidate> rows;
    qsizetype p = markup.indexOf(TitleMarker);
    while (p >= 0) {
        const qsizetype q = markup.indexOf(TagEnd, p + TitleMarker.size());
        if (q < 0)
            break;
        QString segment = markup.mid(p + TitleMarker.size(), q - p - TitleMarker.size());
        p = markup.indexOf(TitleMarker, q);
        segment.remove(Quote);
        const qsizetype original = segment.indexOf(DataOriginalMarker);
        if (original < 0)
            continue;
        const qsizetype href = segment.indexOf(QLatin1String("href"));
        if (href < 0)
            break;
        // The title keeps whatever stands before "href" (normally one space);
        // the link keeps any attributes written after "data-original=".
        const QString title = segment.left(href);
        const QString link = segment.mid(original).remove(DataOriginalMarker);
        rows.append({decodeCharacterReferences(title), decodeCharacterReferences(link)});
    }
    return rows;
}

} // namespace tessaly::covers
