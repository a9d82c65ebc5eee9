#include "site/DefaultCover.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

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

namespace {

// The earlier built-in covers by size and SHA-1: the English "NO COVER" one.
struct EarlierCover
{
    qint64 size;
    const char *sha1;
};
constexpr EarlierCover EarlierCovers[] = {{7755, "cd7b171bab3f94b1c3ec48975ff33bcebca8dbcf"}};

bool hasEarlierCoverSize(qint64 size)
{
    for (const EarlierCover &cover : EarlierCovers) {
        if (cover.size == size)
            return true;
    }
    return false;
}

bool isEarlierDefaultCover(const QByteArray &bytes)
{
    if (!hasEarlierCoverSize(bytes.size()))
        return false;
    const QByteArray sha1 = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
    for (const EarlierCover &cover : EarlierCovers) {
        if (bytes.size() == cover.size && sha1 == cover.sha1)
            return true;
    }
    return false;
}

} // namespace

bool isBuiltinDefaultCover(const QByteArray &bytes)
{
    return (!bytes.isEmpty() && bytes == defaultCoverBytes()) || isEarlierDefaultCover(bytes);
}

bool mayBeEarlierDefaultCover(qint64 size)
{
    return hasEarlierCoverSize(size);
}

bool isEarlierDefaultCoverFile(const QString &path)
{
    // Only a file of an earlier cover's size is read, so a check of every
    // cover costs one size lookup each.
    const QFileInfo info(path);
    if (!info.isFile() || !hasEarlierCoverSize(info.size()))
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && isEarlierDefaultCover(file.readAll());
}

} // namespace tessaly
