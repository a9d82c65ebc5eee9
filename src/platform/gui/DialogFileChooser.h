#pragma once

#include "platform/FileChooser.h"

class QWidget;

namespace tessaly {

// The open-file dialog over a parent window.
class DialogFileChooser : public FileChooser
{
public:
    explicit DialogFileChooser(QWidget *parent) : m_parent(parent) {}
    QString openFile(const QString &filter) override;

private:
    QWidget *m_parent;
};

} // namespace tessaly
