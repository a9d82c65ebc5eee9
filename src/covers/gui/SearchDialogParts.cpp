#include "covers/gui/SearchDialogParts.h"

#include <QLabel>
#include <QPushButton>

namespace tessaly::covers {

QPushButton *makeButton(const char *objectName, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

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
