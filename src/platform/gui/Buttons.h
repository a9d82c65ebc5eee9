#pragma once

#include <QPushButton>
#include <QString>

namespace tessaly {

// A button found by its objectName that Enter never presses: no button of
// the program is a default or auto-default one, so Enter cannot confirm a
// dialog by accident. Esc still closes a dialog through QDialog.
inline QPushButton *makeButton(const char *objectName, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace tessaly
