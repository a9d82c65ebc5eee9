#include "app/gui/MainWindow.h"
#include "app/gui/SiteController.h"
#include "platform/gui/BackgroundRun.h"
#include "site/SiteFixture.h"
#include "site/gui/MessagePanel.h"
#include "support/RecordingDesktop.h"
#include "support/Waiting.h"
#include "support/WidgetDriving.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeView>
#include <memory>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

// Notes how many lines the panel held when a box was asked for.
class PanelAtBox : public MessagePresenter
{
public:
    explicit PanelAtBox(RecordingMessages &recorder)
        : m_recorder(recorder), m_previous(Messages::setPresenter(this))
    {}
    ~PanelAtBox() override { Messages::setPresenter(m_previous); }
    MessageAnswer present(const Message &message) override
    {
        linesAtBox.append(panel ? int(rowTexts(*panel->lineView()).size()) : -1);
        return m_recorder.present(message);
    }
    MessagePanel *panel = nullptr;
    QList<int> linesAtBox;

private:
    RecordingMessages &m_recorder;
    MessagePresenter *m_previous;
};

class SiteRunInWindow : public SiteTest
{
protected:
    // Projects of two episodes each, published to `site`.
    void addProjects(int count)
    {
        // A Style.ini keeps the style load quiet.
        space.writeText(QStringLiteral("Style/Style.ini"),
                        QStringLiteral("[Setting]\r\nCoverwidth=185\r\nCoverheight=250\r\nLinecontent=3"));
        space.writeSiteSettings(space.path(QStringLiteral("m")), space.makeFolder(QStringLiteral("site")),
                                QString(), QStringLiteral("True"));
        for (int i = 0; i < count; ++i) {
            const QString name = QStringLiteral("项目%1").arg(i);
            addProject(name, QStringLiteral("m/") + name, {QStringLiteral("1.mp4"), QStringLiteral("2.mp4")});
        }
    }
    void open()
    {
        space.writeList(projects.names());
        window.reset();
        session = std::make_unique<WorkspaceSession>(space.workspace().root());
        ASSERT_TRUE(session->open(WorkspaceSession::Access::Change, WorkspaceSession::MissingFolder::Refuse));
        WindowSeams seams;
        seams.desktop = &desktop;
        window = std::make_unique<MainWindow>(*session, seams);
        window->start();
        window->show();
        boxes.panel = panel();
        boxes.linesAtBox.clear();
        messages.clear();
    }
    MessagePanel *panel() const { return window->findChild<SiteController *>()->panel(); }
    bool running() const { return window->backgroundRun().isRunning(); }
    bool waitForTheEnd()
    {
        return waitUntil([this] { return !running(); }, 60000);
    }
    QStringList logs() const { return QDir(space.path(QStringLiteral("Log"))).entryList(QDir::Files); }
    void removeLogs() const
    {
        for (const QString &log : logs())
            QFile::remove(space.path(QStringLiteral("Log/") + log));
    }
    QStringList loggedLines() const
    {
        if (logs().size() != 1)
            return {QStringLiteral("not one log but %1").arg(logs().size())};
        const QString text = this->text(QStringLiteral("Log/") + logs().first());
        return text.chopped(2).split(QStringLiteral("\r\n"));
    }
    // Every file below the output and site folders with its bytes.
    QMap<QString, QByteArray> writtenFiles() const
    {
        QMap<QString, QByteArray> files;
        for (const QString &folder : {QStringLiteral("Web"), QStringLiteral("site")}) {
            QDirIterator it(space.path(folder), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                QFile file(path);
                file.open(QIODevice::ReadOnly);
                files.insert(path, file.readAll());
            }
        }
        return files;
    }

    PanelAtBox boxes{messages};
    RecordingDesktop desktop;
    std::unique_ptr<WorkspaceSession> session;
    std::unique_ptr<MainWindow> window;
};

} // namespace

TEST_F(SiteRunInWindow, AWholeSiteRunGoesOffTheWindowsThreadAndEndsAsARunInsideTheClickDid)
{
    addProjects(300);
    // The same run inside the call, for comparison.
    ASSERT_TRUE(generate().succeeded());
    const QStringList expected = lines.texts();
    const QMap<QString, QByteArray> files = writtenFiles();
    removeLogs();
    open();

    buttonNamed(*window, "Command4")->click();
    // The click returns at once, the run going on while the commands that
    // change the workspace wait; the panel shows and cannot be closed.
    EXPECT_TRUE(running());
    for (const char *name : {"Command1", "Command2", "Command4", "Command6", "Command12"})
        EXPECT_FALSE(buttonNamed(*window, name)->isEnabled()) << name;
    EXPECT_FALSE(actionNamed(*window, "M8")->isEnabled());
    EXPECT_TRUE(buttonNamed(*window, "Command8")->isEnabled());
    EXPECT_TRUE(panel()->isVisible());
    EXPECT_FALSE(panel()->findChild<QPushButton *>(QStringLiteral("Command7"))->isEnabled());
    panel()->findChild<QPushButton *>(QStringLiteral("Command9"))->click();
    EXPECT_TRUE(panel()->isVisible());
    ASSERT_TRUE(waitForTheEnd());

    EXPECT_EQ(rowTexts(*panel()->lineView()), expected);
    EXPECT_EQ(loggedLines(), expected);
    EXPECT_EQ(writtenFiles(), files);
    // The panel's link button works during the run: with no link set it
    // asks for one.
    ASSERT_EQ(messages.texts(),
              (QStringList{QStringLiteral("请先在设置中填写站点链接!"), QStringLiteral("生成网站成功!")}));
    EXPECT_EQ(boxes.linesAtBox.last(), int(expected.size())); // every line shown before the box
    EXPECT_EQ(panel()->lineView()->currentIndex().row(), int(expected.size()) - 1);
    const auto *bar = panel()->findChild<QProgressBar *>(QStringLiteral("ProgressBar1"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->maximum(), 1 + 300 + 300); // the index, the play pages and the covers published
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(buttonNamed(*window, "Command4")->isEnabled());
    EXPECT_TRUE(actionNamed(*window, "M8")->isEnabled());
    EXPECT_TRUE(panel()->findChild<QPushButton *>(QStringLiteral("Command7"))->isEnabled());
}

TEST_F(SiteRunInWindow, AnUpdateLogsThePanelsEarlierLinesBeforeItsOwn)
{
    addProjects(2);
    open();
    buttonNamed(*window, "Command4")->click();
    ASSERT_TRUE(waitForTheEnd());
    const QStringList earlier = rowTexts(*panel()->lineView());
    removeLogs();
    messages.clear();

    window->selectRow(1);
    buttonNamed(*window, "Command6")->click();
    ASSERT_TRUE(waitForTheEnd());
    const QStringList all = rowTexts(*panel()->lineView());
    EXPECT_EQ(all.mid(0, earlier.size()), earlier);
    EXPECT_EQ(all.last(), QStringLiteral("更新本集内容成功!"));
    EXPECT_EQ(all.at(all.size() - 2), QStringLiteral("站点 - 项目1页面更新完成"));
    EXPECT_EQ(loggedLines(), all);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("更新本集内容成功!")});
}

TEST_F(SiteRunInWindow, ClosingDuringARunAsksAndOnYesStopsItWithoutAClosingBox)
{
    addProjects(300);
    open();
    QSignalSpy ended(&window->backgroundRun(), &BackgroundRun::finished);
    buttonNamed(*window, "Command4")->click();
    messages.setNextAnswer(MessageAnswer::No);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(running());
    messages.setNextAnswer(MessageAnswer::Yes);
    EXPECT_TRUE(window->close());
    // Once the run's end has been handled, a closing box would have shown.
    ASSERT_TRUE(waitUntil([&] { return ended.size() == 1; }, 60000));
    ASSERT_TRUE(waitForPostedEvents());

    const QString question = QStringLiteral("正在生成网站,确定要退出吗?");
    EXPECT_EQ(messages.texts(), (QStringList{question, question}));
    EXPECT_EQ(messages.last().title, QStringLiteral("提示"));
    EXPECT_EQ(messages.last().icon, MessageIcon::Question);
    EXPECT_EQ(messages.last().buttons, MessageButtons::YesNo);
    const QStringList logged = loggedLines();
    EXPECT_EQ(logged.last(), QStringLiteral("生成网站已中止..."));
    EXPECT_FALSE(logged.contains(QStringLiteral("生成网站成功...")));
}

TEST_F(SiteRunInWindow, ClosingDuringAnUpdateAsksAboutTheUpdate)
{
    addProjects(300);
    open();
    window->selectRow(0);
    buttonNamed(*window, "Command6")->click();
    messages.setNextAnswer(MessageAnswer::No);
    EXPECT_FALSE(window->close());
    ASSERT_TRUE(waitForTheEnd());
    EXPECT_EQ(messages.texts(), (QStringList{QStringLiteral("正在更新本集内容,确定要退出吗?"),
                                             QStringLiteral("更新本集内容成功!")}));
}
