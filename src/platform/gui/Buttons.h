#pragma once

#include <QBoxLayout>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QString>

namespace tessaly {

// A push button that Enter presses while it has the focus, as Space does:
// the keyboard user's way to press the button Tab has reached. Enter
// anywhere else presses none of them, since no button of the program is a
// default or auto-default one, so Enter typed in a text box cannot confirm
// a dialog by accident.
class FocusedEnterButton : public QPushButton
{
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat() &&
            event->modifiers() == (event->key() == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier)) {
            event->accept();
            click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

// The captions of every dialog's confirm and cancel buttons.
inline QString okCaption()
{
    return QStringLiteral("确定");
}
inline QString cancelCaption()
{
    return QStringLiteral("取消");
}

// A button found by its objectName: Enter presses it only while it has the
// focus. Esc still closes a dialog through QDialog.
inline QPushButton *makeButton(const char *objectName, const QString &caption, QWidget *parent)
{
    auto *button = new FocusedEnterButton(caption, parent);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

// Lays a name dialog out as `body` above a right-aligned row of "确定"
// (`Command1`) and "取消" (`Command2`, which rejects), and returns "确定" for
// the dialog to connect to its own check.
inline QPushButton *layOutAboveConfirmButtons(QDialog *dialog, QWidget *body)
{
    QPushButton *ok = makeButton("Command1", okCaption(), dialog);
    QPushButton *cancel = makeButton("Command2", cancelCaption(), dialog);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(dialog);
    layout->addWidget(body);
    layout->addStretch();
    layout->addLayout(buttons);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return ok;
}

} // namespace tessaly
