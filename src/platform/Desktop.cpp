#include "platform/Desktop.h"

#include "platform/Messages.h"

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

bool Desktop::openFolderOrSay(const QString &path)
{
    if (openFolder(path))
        return true;
    Messages::error(Messages::withPath(path, QStringLiteral("无法打开文件夹!")));
    return false;
}

bool Desktop::openUrlOrSay(const QString &url)
{
    if (openUrl(url))
        return true;
    Messages::error(Messages::withPath(url, QStringLiteral("无法打开链接!")));
    return false;
}

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
