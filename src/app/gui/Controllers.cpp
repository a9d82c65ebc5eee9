#include "app/gui/Controllers.h"

#include "app/gui/CatalogueDialogsController.h"
#include "app/gui/CoverController.h"
#include "app/gui/MainWindow.h"
#include "app/gui/SettingsController.h"
#include "app/gui/SiteController.h"
#include "app/gui/VideoCoverController.h"

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
