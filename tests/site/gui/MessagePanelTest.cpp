#include "site/gui/MessagePanel.h"

#include "support/WidgetDriving.h"

#include <QAbstractItemModelTester>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>
#include <QWidget>
#include <gtest/gtest.h>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

struct PanelOverArea
{
    PanelOverArea()
    {
        area.resize(1234, 697);
        area.show();
    }
    QPushButton *button(const char *name) const
    {
        return panel->findChild<QPushButton *>(QLatin1String(name));
    }

    QWidget area;
    MessagePanel *panel = new MessagePanel(&area);
};

} // namespace

TEST(MessagePanel, AWholeSiteRunShowsClearedLinesAndLocksCloseUntilItEnds)
{
    PanelOverArea window;
    MessagePanel &panel = *window.panel;
    EXPECT_EQ(panel.objectName(), QStringLiteral("Frame2"));
    EXPECT_EQ(panel.title(), QStringLiteral("消息"));
    EXPECT_FALSE(panel.isVisible());
    panel.add({QStringLiteral("old"), ProgressIcon::Step});

    panel.beginWholeSiteRun();
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.geometry(), window.area.rect().adjusted(8, 8, -8, -8));
    EXPECT_FALSE(window.button("Command7")->isEnabled());
    EXPECT_TRUE(rowTexts(*panel.lineView()).isEmpty());

    for (int icon = 2; icon <= 6; ++icon)
        panel.add({QStringLiteral("line %1").arg(icon), ProgressIcon(icon)});
    panel.showLastLine();
    QTreeView *view = panel.findChild<QTreeView *>(QStringLiteral("ListView3"));
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isHeaderHidden());
    EXPECT_EQ(view->model()->columnCount(), 1);
    EXPECT_EQ(view->currentIndex().row(), 4);
    if (!QIcon(QStringLiteral(":/window/icon3.png")).pixmap(30, 28).isNull()) { // the window's row icons
        const QModelIndex failure = view->model()->index(1, 0);
        EXPECT_FALSE(failure.data(Qt::DecorationRole).value<QIcon>().pixmap(30, 28).isNull());
    }
    EXPECT_EQ(rowTexts(*panel.lineView()).last(), QStringLiteral("line 6"));

    panel.endWholeSiteRun();
    EXPECT_TRUE(window.button("Command7")->isEnabled());
    QTest::mouseClick(window.button("Command7"), Qt::LeftButton);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(rowTexts(*panel.lineView()).size(), 5); // the lines stay for the next look
}

TEST(MessagePanel, BatchesOfLinesKeepTheViewAtTheEndUnlessTheUserScrolledAway)
{
    PanelOverArea window;
    MessagePanel &panel = *window.panel;
    panel.showOverArea();
    const auto batch = [](int first) {
        QList<ProgressLine> lines;
        for (int number = first; number < first + 200; ++number)
            lines.append({QString::number(number)});
        lines.append({QStringLiteral("names for the log"), ProgressIcon::Step, true});
        return lines;
    };
    const QScrollBar *scroll = panel.lineView()->verticalScrollBar();
    QAbstractItemModelTester tester{panel.lineView()->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal};

    panel.addLines(batch(0));
    panel.addLines(batch(200));
    QCoreApplication::processEvents(); // the view's delayed layout
    EXPECT_GT(scroll->maximum(), 0);
    EXPECT_EQ(scroll->value(), scroll->maximum());

    panel.lineView()->scrollToTop();
    panel.addLines(batch(400));
    QCoreApplication::processEvents();
    EXPECT_EQ(scroll->value(), 0);
    const QStringList shown = rowTexts(*panel.lineView());
    EXPECT_EQ(shown.size(), 600);
    EXPECT_EQ(shown.last(), QStringLiteral("599"));
}

TEST(MessagePanel, OpenSiteLinkHidesThePanelFirst)
{
    PanelOverArea window;
    window.panel->showOverArea();
    int asked = 0;
    bool hiddenWhenAsked = false;
    window.panel->setOpenSiteLink([&] {
        ++asked;
        hiddenWhenAsked = !window.panel->isVisible();
    });
    QTest::mouseClick(window.button("Command9"), Qt::LeftButton);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(hiddenWhenAsked);
}

TEST(MessagePanel, FollowsTheSizeOfItsArea)
{
    PanelOverArea window;
    window.panel->showOverArea();
    window.area.resize(800, 600);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.panel->geometry(), QRect(8, 8, 784, 584));
}
