#include "platform/gui/EscapeCloses.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>

namespace tessaly {

EscapeCloses::EscapeCloses(QDialog &dialog) : QObject(&dialog), m_dialog(dialog)
{
    qApp->installEventFilter(this);
}

EscapeCloses::~EscapeCloses()
{
    qApp->removeEventFilter(this);
}

bool EscapeCloses::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != &m_dialog || !m_dialog.isVisible())
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // Claim the key so no shortcut or web page takes it first.
        event->accept();
        return false;
    }
    m_dialog.reject();
    return true;
}

} // namespace tessaly
