#include "platform/Desktop.h"

#include "platform/Messages.h"

namespace tessaly {

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

} // namespace tessaly
