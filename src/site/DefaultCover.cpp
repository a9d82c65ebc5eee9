#include "site/DefaultCover.h"

#include <QFile>

// The resources of a static library are registered only when asked for.
static void registerSiteResources()
{
    Q_INIT_RESOURCE(site);
}

namespace tessaly {

QByteArray defaultCoverBytes()
{
    static const QByteArray bytes = [] {
        registerSiteResources();
        QFile file(QString::fromLatin1(DefaultCoverResource));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    return bytes;
}

} // namespace tessaly
