#include "covers/gui/SearchDialogParts.h"

#include <QLabel>
#include <QPushButton>

namespace tessaly::covers {

QLabel *makePreview(QWidget *parent)
{
    auto *preview = new QLabel(parent);
    preview->setObjectName(QStringLiteral("Picture1"));
    preview->setFixedSize(PreviewWidth, PreviewHeight);
    preview->setFrameShape(QFrame::StyledPanel);
    preview->setAlignment(Qt::AlignCenter);
    return preview;
}

} // namespace tessaly::covers
