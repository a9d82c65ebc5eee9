#include "catalogue/gui/EpisodeFolderDialog.h"

#include "catalogue/Episodes.h"
#include "catalogue/gui/FolderListView.h"
#include "catalogue/gui/NameListModel.h"
#include "files/FileServices.h"
#include "platform/Messages.h"
#include "platform/gui/Buttons.h"
#include "settings/RecordedPaths.h"
#include "settings/SettingsFiles.h"
#include "workspace/Workspace.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QTreeView>
#include <QVBoxLayout>

namespace tessaly {
namespace {

const char *const FileListHeading = "项目";

} // namespace

EpisodeFolderDialog::EpisodeFolderDialog(const Workspace &workspace, QString project,
                                         RecordFolder recordFolder, QWidget *parent)
    : QDialog(parent), m_workspace(workspace), m_project(std::move(project)),
      m_recordFolder(std::move(recordFolder))
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("选择"));
    setModal(true);
    resize(780, 500);

    m_folders = new FolderListView(FolderNavigation::fromSettings(workspace),
                                   FolderListView::MenuRule::OnlyWithSelection, this);
    m_files = new QTreeView(this);
    m_files->setObjectName(QStringLiteral("ListView2"));
    m_fileNames = new NameListModel(QString::fromUtf8(FileListHeading),
                                    QIcon(QStringLiteral(":/window/icon1.png")), this);
    m_files->setModel(m_fileNames);
    m_files->setRootIsDecorated(false);
    m_files->setEditTriggers(QAbstractItemView::NoEditTriggers);

    const FolderLevelControls level = makeFolderLevelControls(*m_folders, this);
    QPushButton *ok = makeButton("Command2", okCaption(), this);
    QPushButton *cancel = makeButton("Command3", cancelCaption(), this);

    auto *lists = new QHBoxLayout;
    lists->addWidget(m_folders, 1);
    lists->addWidget(m_files, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(level.up);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(level.path);
    layout->addLayout(lists);
    layout->addLayout(buttons);

    connect(m_folders, &FolderListView::selectedFolderChanged, this,
            &EpisodeFolderDialog::showSelectedFolderFiles);
    connect(m_folders, &FolderListView::folderConfirmed, this, &EpisodeFolderDialog::confirm);
    // Its files cannot be listed: said on the click, rather than shown as
    // an empty folder.
    connect(m_folders, &QTreeView::clicked, this, [this] {
        const QString name = m_folders->selectedName();
        if (name.isEmpty())
            return;
        if (const QString refusal = settings::undecodedPathRefusal(m_folders->navigation().pathOf(name));
            !refusal.isEmpty())
            Messages::error(refusal);
    });
    connect(ok, &QPushButton::clicked, this, &EpisodeFolderDialog::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void EpisodeFolderDialog::showSelectedFolderFiles()
{
    const QString name = m_folders->selectedName();
    if (name.isEmpty()) {
        m_fileNames->setNames({});
        m_fileNames->setHeading(QString::fromUtf8(FileListHeading));
        return;
    }
    const FolderNavigation &navigation = m_folders->navigation();
    m_fileNames->setHeading(navigation.relativePathOf(name));
    // The episodes the folder would give, in their order; a folder that
    // vanished since it was listed shows none.
    m_fileNames->setNames(
        listEpisodes(navigation.pathOf(name), settings::episodeOrder(m_workspace)).episodes);
}

void EpisodeFolderDialog::confirm()
{
    const QString name = m_folders->selectedName();
    if (name.isEmpty())
        return;
    // First: a name Qt could not decode is not found under the name shown.
    const QString folder = m_folders->navigation().pathOf(name);
    const QString pathRefusal = settings::recordedPathRefusal(folder);
    if (!pathRefusal.isEmpty()) {
        Messages::error(pathRefusal);
        return;
    }
    if (const files::Outcome<void> exists = m_folders->navigation().confirmExists(name); !exists) {
        Messages::error(exists.failure().text());
        return;
    }
    // A folder that cannot be recorded keeps the dialog open.
    if (m_recordFolder && m_recordFolder(folder))
        accept();
}

} // namespace tessaly
