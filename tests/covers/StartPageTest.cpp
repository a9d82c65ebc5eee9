#include "covers/StartPage.h"

#include <gtest/gtest.h>

using namespace tessaly::covers;

TEST(StartPage, HasSeventeenLinesAndTheWaitingPrompt)
{
    const QString page = startPageText(false);
    EXPECT_EQ(page.count(QStringLiteral("\r\n")), 17);
    EXPECT_TRUE(page.startsWith(QStringLiteral("<html>\r\n<head>\r\n")));
    EXPECT_TRUE(page.contains(QStringLiteral("<span class=\"STYLE2\">请点击搜索键开始....</span>\r\n")));
    EXPECT_TRUE(
        startPageText(true).contains(QStringLiteral("<span class=\"STYLE2\">等待页面加载....</span>")));
}
