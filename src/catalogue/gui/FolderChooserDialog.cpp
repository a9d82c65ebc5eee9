#include "catalogue/gui/FolderChooserDialog.h"

#include "catalogue/gui/FolderListView.h"
#include "platform/Messages.h"
#include "platform/gui/Buttons.h"
#include "settings/RecordedPaths.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tessaly {

FolderChooserDialog::FolderChooserDialog(const Workspace &workspace, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("选择"));
    setModal(true);
    resize(380, 460);

    m_folders = new FolderListView(FolderNavigation::fromSettings(workspace),
                                   FolderListView::MenuRule::OfferedWithoutSelection, this);
    const FolderLevelControls level = makeFolderLevelControls(*m_folders, this);
    QPushButton *ok = makeButton("Command2", okCaption(), this);
    QPushButton *cancel = makeButton("Command3", cancelCaption(), this);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(level.up);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(level.path);
    layout->addWidget(m_folders);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &FolderChooserDialog::confirm);
    connect(m_folders, &FolderListView::folderConfirmed, this, &FolderChooserDialog::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void FolderChooserDialog::confirm()
{
    const QString name = m_folders->selectedName();
    if (name.isEmpty())
        return;
    // Said here rather than after the name is typed: the path is refused
    // whatever the name.
    const QString path = m_folders->navigation().pathOf(name);
    const QString pathRefusal = settings::recordedPathRefusal(path);
    if (!pathRefusal.isEmpty()) {
        Messages::error(pathRefusal);
        return;
    }
    if (const files::Outcome<void> exists = m_folders->navigation().confirmExists(name); !exists) {
        Messages::error(exists.failure().text());
        return;
    }
    m_chosenName = name;
    m_chosenPath = path;
    accept();
}

} // namespace tessaly
