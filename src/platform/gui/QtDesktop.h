#pragma once

#include "platform/Desktop.h"

namespace tessaly {

// The desktop through QDesktopServices: folders as file URLs for the file
// manager, links for the browser.
class QtDesktop : public Desktop
{
public:
    bool openFolder(const QString &path) override;
    bool openUrl(const QString &url) override;
};

} // namespace tessaly
