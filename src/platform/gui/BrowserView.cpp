#include "platform/gui/BrowserView.h"

#include "platform/gui/WebEngineBrowser.h"

namespace tessaly {

BrowserView makeWebEngineBrowser(QWidget *parent)
{
    auto *browser = new WebEngineBrowser(parent);
    return {browser, browser};
}

} // namespace tessaly
