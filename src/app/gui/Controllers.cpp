#include "app/gui/Controllers.h"

#include "app/gui/MainWindow.h"

namespace tessaly {

void attachControllers(MainWindow &window)
{
    (void)window;
}

} // namespace tessaly
