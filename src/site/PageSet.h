#pragma once

#include <QString>

namespace tessaly {

class Workspace;

// The two built-in page sets: "经典", today's pages in code page 936, and
// "新版", pages for phones and large libraries in UTF-8. `Style.ini` chooses
// with its key `Pageset`.
enum class PageSet
{
    Classic,
    Modern
};

namespace page_set {

inline constexpr const char *Key = "Pageset";
// The site's name the new set's pages show; empty means the default.
inline constexpr const char *SiteNameKey = "Sitename";

QString classicName(); // "经典"
QString modernName();  // "新版"
QString defaultSiteName();

// "新版" chooses the new set; anything else, or nothing, the classic one.
PageSet fromText(const QString &value);
QString nameOf(PageSet set);
// The stored name, or the default when it is empty.
QString siteNameOr(const QString &stored);

} // namespace page_set

// The folder of a set's editable templates: `Style` for the classic set,
// `Style/新版` for the new one, so switching never overwrites a template
// the user edited.
QString templateFolder(const Workspace &workspace, PageSet set);
// The set `Style.ini` chooses now; the classic set when it is missing or
// cannot be read.
PageSet chosenPageSet(const Workspace &workspace);

} // namespace tessaly
