#include "covers/gui/CoverPicture.h"

#include <QImageReader>

namespace tessaly::covers {

bool isLoadablePicture(const QString &file)
{
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    return !reader.read().isNull();
}

} // namespace tessaly::covers
