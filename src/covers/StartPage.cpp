#include "covers/StartPage.h"

#include <QStringList>

namespace tessaly::covers {

QString startPageText(bool waitingForSearch)
{
    static const QStringList lines = {
        QStringLiteral("<html>"),
        QStringLiteral("<head>"),
        QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" />"),
        QStringLiteral("<title>封面搜索</title>"),
        QStringLiteral("<style type=\"text/css\">"),
        QStringLiteral("<!--"),
        QStringLiteral(".STYLE2 {"),
        QStringLiteral("\tfont-size: 16px;"),
        QStringLiteral("\tfont-family: \"微软雅黑\";"),
        QStringLiteral("}"),
        QStringLiteral("-->"),
        QStringLiteral("</style>"),
        QStringLiteral("</head>"),
        QStringLiteral("<body bgcolor=\"#202020\" style=\"color:#ffffff\">"),
        QStringLiteral("<span class=\"STYLE2\">请点击搜索键开始....</span>"),
        QStringLiteral("</body>"),
        QStringLiteral("</html>"),
    };
    QString page = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    if (waitingForSearch)
        page.replace(QStringLiteral("请点击搜索键开始"), QStringLiteral("等待页面加载"));
    return page;
}

} // namespace tessaly::covers
