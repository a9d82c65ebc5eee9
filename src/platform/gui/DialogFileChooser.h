#pragma once

#include "platform/FileChooser.h"

class QWidget;

namespace tessaly {

// Qt's own open-file and folder dialogs, over the modal dialog open at the
// time (a "浏览..." of the settings dialog), else over the parent window.
class DialogFileChooser : public FileChooser
{
public:
    explicit DialogFileChooser(QWidget *parent) : m_parent(parent) {}
    QString openFile(const QString &filter) override;
    QString openFileIn(const QString &filter, const QString &startFolder) override;
    QString chooseFolder(const QString &startFolder) override;

private:
    QWidget *over() const;

    QWidget *m_parent;
};

} // namespace tessaly
