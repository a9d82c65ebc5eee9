#include "platform/gui/DialogFileChooser.h"

#include <QApplication>
#include <QFileDialog>

namespace tessaly {

namespace {

// Without a start folder Qt would open the program's working folder.
QString startIn(const QString &folder)
{
    return folder.isEmpty() ? QDir::homePath() : folder;
}

} // namespace

QWidget *DialogFileChooser::over() const
{
    QWidget *modal = QApplication::activeModalWidget();
    return modal ? modal : m_parent;
}

QString DialogFileChooser::openFile(const QString &filter)
{
    return openFileIn(filter, QString());
}

QString DialogFileChooser::openFileIn(const QString &filter, const QString &startFolder)
{
    // Qt's own dialog matches the filter's patterns without regard to case,
    // so "*.jpg" also lists "*.JPG"; a native one might not.
    QFileDialog dialog(over(), QString(), startIn(startFolder));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    dialog.setNameFilter(filter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString DialogFileChooser::chooseFolder(const QString &startFolder)
{
    QFileDialog dialog(over(), QString(), startIn(startFolder));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

} // namespace tessaly
