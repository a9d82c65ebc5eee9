#include "covers/SearchSites.h"

#include "settings/SettingsFiles.h"

namespace tessaly::covers {

QString searchTemplate(const Workspace &workspace, SearchSite site)
{
    return settings::siteValue(
        workspace, QLatin1String(site == SearchSite::PageFetch ? CoverSearch1Key : CoverSearch2Key));
}

} // namespace tessaly::covers
