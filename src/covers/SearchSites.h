#pragma once

#include <QString>

namespace tessaly {
class Workspace;
}

namespace tessaly::covers {

// `Setting.ini` keys holding the two search URL templates. There is no
// built-in host: an empty template means the search is not set up.
inline constexpr const char *CoverSearch1Key = "CoverSearch1";
inline constexpr const char *CoverSearch2Key = "CoverSearch2";

enum class SearchSite
{
    PageFetch,
    Browser
};

QString searchTemplate(const Workspace &workspace, SearchSite site);

} // namespace tessaly::covers
