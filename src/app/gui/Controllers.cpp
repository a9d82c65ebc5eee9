#include "app/gui/Controllers.h"

#include "app/gui/MainWindow.h"
#include "covers/gui/CoverController.h"

namespace tessaly {

void attachControllers(MainWindow &window)
{
    (void)window;
    new covers::CoverController(window);
}

} // namespace tessaly
