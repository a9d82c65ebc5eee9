#pragma once

#include "platform/FileChooser.h"

class QWidget;

namespace tessaly {

// Qt's own open-file and folder dialogs over a parent window.
class DialogFileChooser : public FileChooser
{
public:
    explicit DialogFileChooser(QWidget *parent) : m_parent(parent) {}
    QString openFile(const QString &filter) override;
    QString openFileIn(const QString &filter, const QString &startFolder) override;
    QString chooseFolder(const QString &startFolder) override;

private:
    QWidget *m_parent;
};

} // namespace tessaly
