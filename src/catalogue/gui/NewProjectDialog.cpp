#include "catalogue/gui/NewProjectDialog.h"

#include "catalogue/FolderNavigation.h"
#include "catalogue/ProjectCreation.h"
#include "catalogue/gui/FolderChooserDialog.h"
#include "platform/Messages.h"
#include "platform/gui/Buttons.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tessaly {

NewProjectDialog::NewProjectDialog(const Workspace &workspace, CreateProject createProject, QWidget *parent)
    : QDialog(parent), m_workspace(workspace), m_createProject(std::move(createProject))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("添加"));
    setModal(true);
    resize(440, 160);

    auto *frame = new QGroupBox(QStringLiteral("新建项目"), this);
    m_name = new QLineEdit(frame);
    m_name->setObjectName(QStringLiteral("Text1"));
    QPushButton *browse = makeButton("Command3", QStringLiteral("..."), frame);
    browse->setToolTip(QStringLiteral("从影片文件夹中选择剧集文件夹"));
    auto *nameRow = new QHBoxLayout(frame);
    nameRow->addWidget(m_name);
    nameRow->addWidget(browse);

    QPushButton *ok = layOutAboveConfirmButtons(this, frame);

    connect(browse, &QPushButton::clicked, this, &NewProjectDialog::chooseFolder);
    connect(ok, &QPushButton::clicked, this, &NewProjectDialog::confirm);
    connect(m_name, &QLineEdit::returnPressed, this, [this] {
        if (!m_name->text().isEmpty())
            confirm();
    });
}

QString NewProjectDialog::name() const
{
    return m_name->text();
}

void NewProjectDialog::chooseFolder()
{
    if (const files::Outcome<void> rootSet = FolderNavigation::movieRootIsSet(m_workspace); !rootSet) {
        Messages::error(rootSet.failure().text());
        return;
    }
    FolderChooserDialog chooser(m_workspace, this);
    if (chooser.exec() != QDialog::Accepted)
        return;
    useFolder(chooser.chosenName(), chooser.chosenPath());
}

void NewProjectDialog::useFolder(const QString &name, const QString &path)
{
    m_name->setText(suggestedProjectName(name, path));
    m_episodeFolder = path;
}

void NewProjectDialog::confirm()
{
    const NewProject project{name(), m_episodeFolder};
    // Refused or failed, the dialog stays open with what was typed.
    if (m_createProject && m_createProject(project))
        accept();
}

} // namespace tessaly
