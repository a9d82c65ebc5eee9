#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;

namespace tessaly {

// "重命名": the project's name, filled in and selected, for the user to
// type over. "确定" hands the typed name to `renameProject`, which renames
// the project as `tessaly-cli rename` does and says why it cannot; the
// dialog closes once it has.
class RenameDialog : public QDialog
{
    Q_OBJECT

public:
    // True when the project carries the name now.
    using RenameProject = std::function<bool(const QString &name)>;

    RenameDialog(const QString &name, RenameProject renameProject, QWidget *parent = nullptr);

    QString name() const;
    // "确定", and Enter in a name box that is not empty.
    void confirm();

private:
    RenameProject m_renameProject;
    QLineEdit *m_name = nullptr;
};

} // namespace tessaly
