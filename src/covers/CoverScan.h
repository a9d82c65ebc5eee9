#pragma once

#include <QList>
#include <QString>

namespace tessaly::covers {

// One result row of a cover search: what the list shows and where the
// picture is.
struct CoverCandidate
{
    QString title;
    QString link;

    bool operator==(const CoverCandidate &other) const = default;
};

// The fetched result page: every `<img` tag that carries "src=", "data-src="
// and "width=" gives its `data-src` value as link and its `title` value as
// title. A tag that cannot be cut ends the scan; the rows before it stay.
QList<CoverCandidate> scanImageTags(const QString &page);

// The browser's body markup: every "title=" whose tag also holds
// "data-original=" gives a row. Markup that cannot be cut ends the scan the
// same way.
QList<CoverCandidate> scanBrowserMarkup(const QString &markup);

} // namespace tessaly::covers
