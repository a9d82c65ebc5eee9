#pragma once

#include <QPushButton>
#include <QString>

namespace tessaly {

// A dialog button that Enter never presses: no button of the program's
// dialogs is a default or auto-default one, so Enter cannot confirm by
// accident. Esc still closes the dialog through QDialog.
inline QPushButton *makeDialogButton(const QString &caption, const QString &objectName, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace tessaly
