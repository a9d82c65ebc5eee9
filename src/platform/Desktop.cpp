#include "platform/Desktop.h"

namespace tessaly {

namespace {

class NoDesktop : public Desktop
{
public:
    bool openFolder(const QString &) override { return false; }
    bool openUrl(const QString &) override { return false; }
};

Desktop *currentDesktop = nullptr;

} // namespace

Desktop *Desktop::setInstance(Desktop *desktop)
{
    Desktop *previous = currentDesktop;
    currentDesktop = desktop;
    return previous;
}

Desktop *Desktop::instance()
{
    static NoDesktop none;
    return currentDesktop ? currentDesktop : &none;
}

} // namespace tessaly
