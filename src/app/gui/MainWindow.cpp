#include "app/gui/MainWindow.h"

#include "app/gui/FirstStepsGuide.h"
#include "app/gui/ProjectListModel.h"
#include "catalogue/ProjectCreation.h"
#include "catalogue/ProjectSelection.h"
#include "catalogue/gui/DetailsPane.h"
#include "platform/Messages.h"
#include "platform/gui/BackgroundRun.h"
#include "platform/gui/Buttons.h"
#include "platform/gui/RowIcons.h"
#include "site/SiteGeneration.h"
#include "site/WebCopyTexts.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeView>

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

struct MainWindow::Controls : WindowControls
{
    // Counts selection changes, so that a click that left the selection as
    // it was can still run the click handling (the folder may have changed).
    quint64 selectionChanges = 0;
    quint64 selectionChangesAtPress = 0;
};

MainWindow::MainWindow(WorkspaceSession &session, const WindowSeams &seams, QWidget *parent)
    : QMainWindow(parent), m_session(session), m_controls(new Controls),
      m_backgroundRun(std::make_unique<BackgroundRun>())
{
    registerWindowResources();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tessaly"));
    buildMenus();
    buildControls();
    resize(ClientSize.width(), ClientSize.height() + menuBar()->sizeHint().height());

    wireWindow(*this, *m_controls, m_session, *this, *m_backgroundRun, seams);
}

MainWindow::~MainWindow()
{
    delete m_controls;
}

void MainWindow::buildMenus()
{
    QMenu *menu = menuBar()->addMenu(QStringLiteral("菜单"));
    menu->setObjectName(QStringLiteral("M"));
    m_controls->settings = makeAction(menu, "M1", QStringLiteral("设置"));
    m_controls->editPageSource = makeAction(menu, "M2", QStringLiteral("编辑页面源码"));
    m_controls->openMovieFolder = makeAction(menu, "M3", QStringLiteral("打开影片文件夹"));
    m_controls->openSiteFolder = makeAction(menu, "M4", QStringLiteral("打开站点文件夹"));
    m_controls->clearCache = makeAction(menu, "M5", QStringLiteral("清空缓存文件"));
    m_controls->clearLogs = makeAction(menu, "M6", QStringLiteral("清空日志"));
    m_controls->editStyle = makeAction(menu, "M7", QStringLiteral("布局设计"));
    m_controls->grabMissingCovers = makeAction(menu, "M8", QStringLiteral("为无封面项目截取封面"));
    m_controls->convertAll = makeAction(menu, "M9", webcopy::texts::convertAllCommand());

    // The project list's context menu; its actions belong to the window so
    // that they are found by name like every other command.
    auto *projectMenu = new QMenu(QStringLiteral("菜单2"), this);
    projectMenu->setObjectName(QStringLiteral("MB"));
    m_controls->newProject = makeAction(projectMenu, "MB5", QStringLiteral("新建"));
    m_controls->renameProject = makeAction(projectMenu, "MB8", QStringLiteral("重命名"));
    m_controls->deleteProject = makeAction(projectMenu, "MB6", QStringLiteral("删除"));
    m_controls->moveToFirst = makeAction(projectMenu, "MB3", QStringLiteral("移动到第一项"));
    m_controls->moveUp = makeAction(projectMenu, "MB1", QStringLiteral("上移"));
    m_controls->moveDown = makeAction(projectMenu, "MB2", QStringLiteral("下移"));
    m_controls->moveToLast = makeAction(projectMenu, "MB4", QStringLiteral("移动到最后项"));
    m_controls->openProjectFolder = makeAction(projectMenu, "MB7", QStringLiteral("打开文件路径"));
    m_controls->projectMenu = projectMenu;
}

void MainWindow::buildControls()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));

    auto *listModel = new ProjectListModel(m_session, this);
    QTreeView *projectView = makeProjectView(listModel, central);
    projectView->setContextMenuPolicy(Qt::CustomContextMenu);
    m_controls->projectView = projectView;
    m_controls->details = new DetailsPane(central);
    m_controls->guide = new FirstStepsGuide(central);
    m_controls->openExample = m_controls->guide->openExampleButton();
    m_controls->chooseFolder = m_controls->details->chooseFolderButton();
    m_controls->pickCover = m_controls->details->pickCoverButton();
    m_controls->searchSite1 = m_controls->details->searchSite1Button();
    m_controls->searchSite2 = m_controls->details->searchSite2Button();
    m_controls->grabFromVideo = m_controls->details->grabFromVideoButton();
    m_controls->convert = m_controls->details->convertButton();

    auto *listButtons = new QHBoxLayout;
    m_controls->add = makeButton("Command1", QStringLiteral("添加"), central);
    listButtons->addWidget(m_controls->add);
    m_controls->remove = makeButton("Command2", QStringLiteral("删除"), central);
    listButtons->addWidget(m_controls->remove);

    // The site buttons keep their widths of 2655, 2655 and 2535 twips.
    const auto siteButton = [central](const char *name, const QString &caption, int width) {
        QPushButton *button = makeButton(name, caption, central);
        button->setMinimumWidth(width);
        return button;
    };
    auto *siteButtons = new QHBoxLayout;
    m_controls->openSiteLink = siteButton("Command8", QStringLiteral("打开影片站点链接"), 177);
    siteButtons->addWidget(m_controls->openSiteLink);
    siteButtons->addStretch();
    m_controls->update = siteButton("Command6", QStringLiteral("更新本集内容"), 177);
    siteButtons->addWidget(m_controls->update);
    m_controls->generate = siteButton("Command4", QStringLiteral("生成整站内容"), 169);
    siteButtons->addWidget(m_controls->generate);

    // The list beside the details pane, each with its buttons beneath; the
    // list takes 4335 and the pane 13815 twips of the width.
    auto *layout = new QGridLayout(central);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(projectView, 0, 0);
    layout->addWidget(m_controls->details, 0, 1);
    layout->addWidget(m_controls->guide, 0, 1);
    layout->addLayout(listButtons, 1, 0);
    layout->addLayout(siteButtons, 1, 1);
    layout->setColumnStretch(0, 4335);
    layout->setColumnStretch(1, 13815);
    layout->setRowStretch(0, 1);
    setCentralWidget(central);

    // Whatever changes the selection, mouse or keyboard or a command, the
    // details pane follows it.
    connect(projectView->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        ++m_controls->selectionChanges;
        refreshDetails();
    });
    // The guide stands in for the details pane while there is no project.
    for (const auto rowsChanged : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(listModel, rowsChanged, this, &MainWindow::showGuideWhileEmpty);
    connect(listModel, &QAbstractItemModel::modelReset, this, &MainWindow::showGuideWhileEmpty);
    showGuideWhileEmpty();
    projectView->viewport()->installEventFilter(this);
    connect(projectView, &QAbstractItemView::pressed, this, [this] {
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

void MainWindow::showGuideWhileEmpty()
{
    const bool empty = projects().size() == 0;
    m_controls->guide->setVisible(empty);
    m_controls->details->setVisible(!empty);
}

void MainWindow::start()
{
    refreshDetails();
}

int MainWindow::selectedRow() const
{
    const QModelIndexList selected = m_controls->projectView->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return -1;
    const int row = selected.first().row();
    return row < projects().size() ? row : -1;
}

QString MainWindow::selectedProject() const
{
    const int row = selectedRow();
    return row < 0 ? QString() : projects().names().at(row);
}

std::optional<QString> MainWindow::chosenProject() const
{
    // The details pane always shows the selected row, so the chosen project
    // is the selected one.
    const int row = selectedRow();
    if (row < 0)
        return std::nullopt;
    return projects().names().at(row);
}

bool MainWindow::guardChosenProject()
{
    switch (chosenProjectGuard(projects().size(), chosenProject().has_value())) {
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

void MainWindow::showProjectAddedAtTop()
{
    if (projects().size() == 0)
        return;
    m_controls->details->clearEpisodes();
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
    m_controls->details->showProject(readProjectDetails(workspace(), *chosen));
}

void MainWindow::reloadCoverPreview()
{
    const std::optional<QString> chosen = chosenProject();
    CoverPreview *preview = m_controls->details->coverPreview();
    if (!chosen || !isUsableProjectName(*chosen)) {
        preview->showDefaultCover();
        return;
    }
    preview->showCoverFile(workspace().coverFile(*chosen));
}

void MainWindow::selectRow(int row)
{
    QTreeView *view = m_controls->projectView;
    const QModelIndex index = view->model()->index(row, 0);
    if (!index.isValid())
        return;
    view->setCurrentIndex(index);
    view->scrollTo(index);
}

void MainWindow::showProjectRemoved()
{
    // Nothing is selected afterwards: the pane shows its empty state rather
    // than a neighbour the user never chose.
    QTreeView *view = m_controls->projectView;
    view->selectionModel()->clear();
    refreshDetails();
}

QTreeView *MainWindow::projectView() const
{
    return m_controls->projectView;
}

DetailsPane *MainWindow::detailsPane() const
{
    return m_controls->details;
}

const WindowControls &MainWindow::controls() const
{
    return *m_controls;
}

QMenu *MainWindow::projectMenu() const
{
    return m_controls->projectMenu;
}

} // namespace tessaly
