#include "app/gui/Controllers.h"

#include "app/gui/MainWindow.h"
#include "catalogue/gui/CatalogueDialogsController.h"
#include "covers/gui/CoverController.h"
#include "covers/gui/VideoCoverController.h"
#include "settings/gui/SettingsController.h"
#include "site/gui/SiteController.h"

namespace tessaly {

void attachControllers(MainWindow &window)
{
    new CatalogueDialogsController(window);
    new SettingsController(window);
    new SiteController(window);
    new covers::CoverController(window);
    new covers::VideoCoverController(window);
}

} // namespace tessaly
