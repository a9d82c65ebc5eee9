#include "site/PageSet.h"

#include "files/FileServices.h"
#include "settings/IniFile.h"
#include "workspace/Workspace.h"

namespace tessaly {

namespace page_set {

QString classicName()
{
    return QStringLiteral("经典");
}

QString modernName()
{
    return QStringLiteral("新版");
}

QString defaultSiteName()
{
    return QStringLiteral("我的影片");
}

PageSet fromText(const QString &value)
{
    return value == modernName() ? PageSet::Modern : PageSet::Classic;
}

QString nameOf(PageSet set)
{
    return set == PageSet::Modern ? modernName() : classicName();
}

QString siteNameOr(const QString &stored)
{
    const QString name = stored.trimmed();
    return name.isEmpty() ? defaultSiteName() : name;
}

} // namespace page_set

QString templateFolder(const Workspace &workspace, PageSet set)
{
    return set == PageSet::Modern ? files::joinPath(workspace.style(), page_set::modernName())
                                  : workspace.style();
}

PageSet chosenPageSet(const Workspace &workspace)
{
    const QString styleFile = workspace.styleFile();
    if (!files::plainFileExists(styleFile))
        return PageSet::Classic;
    return page_set::fromText(
        ini::read(QStringLiteral("Setting"), QString::fromLatin1(page_set::Key), styleFile));
}

} // namespace tessaly
