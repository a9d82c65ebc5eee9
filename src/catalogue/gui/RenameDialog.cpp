#include "catalogue/gui/RenameDialog.h"

#include "platform/gui/Buttons.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tessaly {

RenameDialog::RenameDialog(const QString &name, RenameProject renameProject, QWidget *parent)
    : QDialog(parent), m_renameProject(std::move(renameProject))
{
    setObjectName(QStringLiteral("FormRename"));
    setWindowTitle(QStringLiteral("重命名"));
    setModal(true);
    resize(400, 110);

    m_name = new QLineEdit(name, this);
    m_name->setObjectName(QStringLiteral("Text1"));
    m_name->selectAll();

    QPushButton *ok = layOutAboveConfirmButtons(this, m_name);

    connect(ok, &QPushButton::clicked, this, &RenameDialog::confirm);
    connect(m_name, &QLineEdit::returnPressed, this, [this] {
        if (!m_name->text().isEmpty())
            confirm();
    });
}

QString RenameDialog::name() const
{
    return m_name->text();
}

void RenameDialog::confirm()
{
    // An empty name does nothing; refused or failed, the dialog stays open
    // with what was typed.
    if (m_name->text().isEmpty())
        return;
    if (m_renameProject && m_renameProject(name()))
        accept();
}

} // namespace tessaly
