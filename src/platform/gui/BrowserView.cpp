#include "platform/gui/BrowserView.h"

#include "platform/gui/WebEngineBrowser.h"

#include <unistd.h>

namespace tessaly {

BrowserView makeWebEngineBrowser(QWidget *parent)
{
    auto *browser = new WebEngineBrowser(parent);
    return {browser, browser};
}

void prepareEmbeddedBrowserEnvironment()
{
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

} // namespace tessaly
