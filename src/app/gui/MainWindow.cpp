#include "app/gui/MainWindow.h"

#include "app/WorkspaceCommands.h"
#include "app/gui/CommandsDuringRuns.h"
#include "app/gui/Controllers.h"
#include "app/gui/KeyboardAndTips.h"
#include "app/gui/ProjectCommands.h"
#include "app/gui/WorkspaceMenu.h"
#include "catalogue/ProjectCreation.h"
#include "catalogue/ProjectSelection.h"
#include "catalogue/gui/DetailsPane.h"
#include "platform/Desktop.h"
#include "platform/Messages.h"
#include "platform/gui/BackgroundRun.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/RowIcons.h"
#include "site/SiteGeneration.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>

// Resources of static libraries are registered by hand, outside any namespace.
static void registerWindowResources()
{
    Q_INIT_RESOURCE(row_icons);
    Q_INIT_RESOURCE(site);
}

namespace tessaly {

namespace {

// The client area of 18510 × 10455 twips.
constexpr QSize ClientSize(1234, 697);

QAction *makeAction(QMenu *menu, const char *objectName, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(objectName));
    return action;
}

} // namespace

struct MainWindow::Controls
{
    QTreeWidget *projectView = nullptr;
    DetailsPane *details = nullptr;
    QMenu *projectMenu = nullptr;
    // Counts selection changes, so that a click that left the selection as
    // it was can still run the click handling (the folder may have changed).
    quint64 selectionChanges = 0;
    quint64 selectionChangesAtPress = 0;
};

MainWindow::MainWindow(const Workspace &workspace, QWidget *parent)
    : QMainWindow(parent), m_workspace(workspace), m_controls(new Controls),
      m_backgroundRun(std::make_unique<BackgroundRun>())
{
    registerWindowResources();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tessaly"));
    buildMenus();
    buildControls();
    resize(ClientSize.width(), ClientSize.height() + menuBar()->sizeHint().height());

    new ProjectCommands(*this);
    new WorkspaceMenu(*this);
    attachControllers(*this);
    attachKeyboardAndTips(*this);
    disableWorkspaceCommandsDuringRuns(*this);
}

MainWindow::~MainWindow()
{
    delete m_controls;
}

void MainWindow::buildMenus()
{
    QMenu *menu = menuBar()->addMenu(QStringLiteral("菜单"));
    menu->setObjectName(QStringLiteral("M"));
    makeAction(menu, "M1", QStringLiteral("设置"));
    makeAction(menu, "M2", QStringLiteral("编辑页面源码"));
    makeAction(menu, "M3", QStringLiteral("打开影片文件夹"));
    makeAction(menu, "M4", QStringLiteral("打开站点文件夹"));
    makeAction(menu, "M5", QStringLiteral("清空缓存文件"));
    makeAction(menu, "M6", QStringLiteral("清空日志"));
    makeAction(menu, "M7", QStringLiteral("布局设计"));
    makeAction(menu, "M8", QStringLiteral("为无封面项目截取封面"));

    // The project list's context menu; its actions belong to the window so
    // that they are found by name like every other command.
    auto *projectMenu = new QMenu(QStringLiteral("菜单2"), this);
    projectMenu->setObjectName(QStringLiteral("MB"));
    makeAction(projectMenu, "MB5", QStringLiteral("新建"));
    makeAction(projectMenu, "MB6", QStringLiteral("删除"));
    makeAction(projectMenu, "MB3", QStringLiteral("移动到第一项"));
    makeAction(projectMenu, "MB1", QStringLiteral("上移"));
    makeAction(projectMenu, "MB2", QStringLiteral("下移"));
    makeAction(projectMenu, "MB4", QStringLiteral("移动到最后项"));
    makeAction(projectMenu, "MB7", QStringLiteral("打开文件路径"));
    m_controls->projectMenu = projectMenu;
}

void MainWindow::buildControls()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));

    QTreeWidget *projectView = makeRowList(QStringLiteral("ListView1"), central);
    projectView->setContextMenuPolicy(Qt::CustomContextMenu);
    m_controls->projectView = projectView;
    m_controls->details = new DetailsPane(central);

    auto *listButtons = new QHBoxLayout;
    listButtons->addWidget(makeButton("Command1", QStringLiteral("添加"), central));
    listButtons->addWidget(makeButton("Command2", QStringLiteral("删除"), central));

    // The site buttons keep their widths of 2655, 2655 and 2535 twips.
    const auto siteButton = [central](const char *name, const QString &caption, int width) {
        QPushButton *button = makeButton(name, caption, central);
        button->setMinimumWidth(width);
        return button;
    };
    auto *siteButtons = new QHBoxLayout;
    siteButtons->addWidget(siteButton("Command8", QStringLiteral("打开影片站点链接"), 177));
    siteButtons->addStretch();
    siteButtons->addWidget(siteButton("Command6", QStringLiteral("更新本集内容"), 177));
    siteButtons->addWidget(siteButton("Command4", QStringLiteral("生成整站内容"), 169));

    // The list beside the details pane, each with its buttons beneath; the
    // list takes 4335 and the pane 13815 twips of the width.
    auto *layout = new QGridLayout(central);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(projectView, 0, 0);
    layout->addWidget(m_controls->details, 0, 1);
    layout->addLayout(listButtons, 1, 0);
    layout->addLayout(siteButtons, 1, 1);
    layout->setColumnStretch(0, 4335);
    layout->setColumnStretch(1, 13815);
    layout->setRowStretch(0, 1);
    setCentralWidget(central);

    // Whatever changes the selection, mouse or keyboard or a command, the
    // details pane follows it.
    connect(projectView, &QTreeWidget::itemSelectionChanged, this, [this] {
        ++m_controls->selectionChanges;
        refreshDetails();
    });
    projectView->viewport()->installEventFilter(this);
    connect(projectView, &QTreeWidget::itemPressed, this, [this] {
        if (m_controls->selectionChanges == m_controls->selectionChangesAtPress)
            refreshDetails();
    });
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A job still going asks first; once agreed, it stops by itself and the
    // window goes without waiting for it (the program waits before it ends).
    if (!m_backgroundRun->mayClose()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_controls->projectView->viewport() && event->type() == QEvent::MouseButtonPress)
        m_controls->selectionChangesAtPress = m_controls->selectionChanges;
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::start()
{
    const QString listFile = m_workspace.listFile();
    if (m_projects.load(listFile) == ProjectList::LoadResult::Unreadable)
        Messages::error(ProjectList::unreadableText(listFile));
    showProjectRows();
    refreshDetails();
    runStyleLoad();
    const QString unusable = unusableRunInputsText(m_workspace, m_templates);
    if (!unusable.isEmpty())
        Messages::error(unusable);
}

void MainWindow::runStyleLoad()
{
    m_templates = UpdateStyle(m_workspace, m_templates);
}

void MainWindow::showProjectRows()
{
    QTreeWidget *view = m_controls->projectView;
    view->clear();
    const QIcon icon = rowIcon(7);
    QList<QTreeWidgetItem *> rows;
    rows.reserve(m_projects.size());
    for (const QString &name : m_projects.names()) {
        auto *row = new QTreeWidgetItem(QStringList{name});
        row->setIcon(0, icon);
        rows.append(row);
    }
    view->addTopLevelItems(rows);
}

int MainWindow::selectedRow() const
{
    const QModelIndexList selected = m_controls->projectView->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return -1;
    const int row = selected.first().row();
    return row < m_projects.size() ? row : -1;
}

QString MainWindow::selectedProject() const
{
    const int row = selectedRow();
    return row < 0 ? QString() : m_projects.names().at(row);
}

std::optional<QString> MainWindow::chosenProject() const
{
    // The details pane always shows the selected row, so the chosen project
    // is the selected one.
    const int row = selectedRow();
    if (row < 0)
        return std::nullopt;
    return m_projects.names().at(row);
}

bool MainWindow::guardChosenProject()
{
    switch (chosenProjectGuard(m_projects.size(), chosenProject().has_value())) {
    case GuardDecision::Silent:
        return false;
    case GuardDecision::AskForChoice:
        Messages::error(chooseProjectFirstText());
        return false;
    case GuardDecision::GoOn:
        break;
    }
    return true;
}

bool MainWindow::saveProjectList()
{
    const QString listFile = m_workspace.listFile();
    QString reason;
    if (m_projects.save(listFile, &reason))
        return true;
    Messages::error(m_projects.saveRefused() ? ProjectList::unreadableText(listFile)
                                             : Messages::withPath(listFile, reason));
    return false;
}

bool MainWindow::addProjectAtTop(const QString &name)
{
    if (createProject(m_workspace, m_projects, NewProject{name, {}}) != CreationResult::Created)
        return false;
    showProjectAddedAtTop();
    return true;
}

void MainWindow::showProjectAddedAtTop()
{
    if (m_projects.size() == 0)
        return;
    auto *row = new QTreeWidgetItem(QStringList{m_projects.names().first()});
    row->setIcon(0, rowIcon(7));
    m_controls->projectView->insertTopLevelItem(0, row);
    m_controls->details->showEpisodes({});
    // Selecting the new row runs the click handling for it.
    selectRow(0);
}

void MainWindow::refreshDetails()
{
    const std::optional<QString> chosen = chosenProject();
    if (!chosen) {
        m_controls->details->showEmpty();
        return;
    }
    m_controls->details->showProject(readProjectDetails(m_workspace, *chosen));
}

void MainWindow::reloadCoverPreview()
{
    const std::optional<QString> chosen = chosenProject();
    CoverPreview *preview = m_controls->details->coverPreview();
    if (!chosen || !isUsableProjectName(*chosen)) {
        preview->showDefaultCover();
        return;
    }
    preview->showCoverFile(m_workspace.coverFile(*chosen));
}

void MainWindow::openSiteLink()
{
    const QString link = workspace_commands::siteLink(m_workspace);
    if (!link.trimmed().isEmpty())
        Desktop::instance()->openUrl(link);
}

void MainWindow::syncRows(int first, int last)
{
    QTreeWidget *view = m_controls->projectView;
    for (int row = qMax(0, first); row <= last && row < m_projects.size(); ++row)
        view->topLevelItem(row)->setText(0, m_projects.names().at(row));
}

void MainWindow::selectRow(int row)
{
    QTreeWidgetItem *item = m_controls->projectView->topLevelItem(row);
    if (!item)
        return;
    m_controls->projectView->setCurrentItem(item);
    item->setSelected(true);
    m_controls->projectView->scrollToItem(item);
}

void MainWindow::removeProjectRow(int row)
{
    QTreeWidget *view = m_controls->projectView;
    // Nothing is selected afterwards: the pane shows its empty state rather
    // than a neighbour the user never chose.
    view->setCurrentItem(nullptr);
    view->clearSelection();
    delete view->takeTopLevelItem(row);
    view->setCurrentItem(nullptr);
    view->clearSelection();
    refreshDetails();
}

QPushButton *MainWindow::button(const char *objectName) const
{
    return findChild<QPushButton *>(QLatin1String(objectName));
}

QAction *MainWindow::action(const char *objectName) const
{
    return findChild<QAction *>(QLatin1String(objectName));
}

QTreeWidget *MainWindow::projectView() const
{
    return m_controls->projectView;
}

DetailsPane *MainWindow::detailsPane() const
{
    return m_controls->details;
}

QMenu *MainWindow::projectMenu() const
{
    return m_controls->projectMenu;
}

} // namespace tessaly
