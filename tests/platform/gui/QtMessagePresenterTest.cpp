#include "platform/gui/QtMessagePresenter.h"

#include "support/WidgetDriving.h"

#include <QDialog>
#include <QLabel>
#include <gtest/gtest.h>

using namespace tessaly;
using namespace tessaly::testing;

TEST(QtMessagePresenterTest, ShowsATextThatLooksLikeMarkupAsItIs)
{
    // Paths and links from web pages are quoted in messages: taken for
    // markup, a link in one could be clicked open and the line breaks lost.
    const QString text =
        QStringLiteral("http://a.example/<a href=\"file:///tmp/x\">打开</a>\r\n无法打开链接!");
    QString shown;
    Qt::TextFormat format = Qt::RichText;
    whenModalDialogShown([&](QDialog &box) {
        const auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        ASSERT_TRUE(label);
        shown = label->text();
        format = label->textFormat();
    });
    QtMessagePresenter().present(Message{QStringLiteral("Tessaly"), text, MessageIcon::Error});
    EXPECT_EQ(shown, text);
    EXPECT_EQ(format, Qt::PlainText);
}
