#include "covers/SearchSites.h"

#include "settings/EditedSettings.h"
#include "settings/SettingsFiles.h"

namespace tessaly::covers {

QString searchTemplate(const Workspace &workspace, SearchSite site)
{
    return settings::siteValue(
        workspace,
        QLatin1String(site == SearchSite::PageFetch ? settings::CoverSearch1Key : settings::CoverSearch2Key));
}

} // namespace tessaly::covers
