#pragma once

#include <QObject>

class QDialog;

namespace tessaly {

// Key preview for Esc: the dialog closes on Esc whichever of its widgets has
// the focus, a web view included, which would otherwise keep the key.
class EscapeCloses : public QObject
{
public:
    explicit EscapeCloses(QDialog &dialog);
    ~EscapeCloses() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QDialog &m_dialog;
};

} // namespace tessaly
