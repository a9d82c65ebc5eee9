#include "platform/gui/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace tessaly {

void QtClipboard::setText(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

} // namespace tessaly
