#include "covers/gui/CoverPicture.h"

#include "files/FileServices.h"
#include "platform/Messages.h"

#include <QImageReader>

namespace tessaly::covers {

bool isLoadablePicture(const QString &file)
{
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    return !reader.read().isNull();
}

bool writeCoverFrom(const QString &picture, const QString &coverFile)
{
    QString reason;
    if (files::copyFileReplacing(picture, coverFile, &reason))
        return true;
    Messages::error(Messages::withPath(coverFile, reason));
    return false;
}

} // namespace tessaly::covers
