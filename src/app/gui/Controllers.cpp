#include "app/gui/Controllers.h"

#include "app/gui/MainWindow.h"
#include "site/gui/SiteController.h"

namespace tessaly {

void attachControllers(MainWindow &window)
{
    (void)window;
    new SiteController(window);
}

} // namespace tessaly
