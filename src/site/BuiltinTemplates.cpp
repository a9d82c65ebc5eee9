#include "site/BuiltinTemplates.h"

#include <QStringList>

namespace tessaly::builtin {

namespace {

QString joinedLines(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

const QString DocumentType = QStringLiteral(
    R"(<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">)");
const QString XhtmlStart = QStringLiteral(R"(<html xmlns="http://www.w3.org/1999/xhtml">)");

// Lines 2 to 23 of the index page; the body colours are filled in by the caller.
QStringList indexPageTail(const QString &bodyColour, const QString &tableColour)
{
    return {
        QStringLiteral("<head>"),
        QStringLiteral(R"(<meta http-equiv="Content-Type" content="text/html; charset=gb2312" />)"),
        QStringLiteral("<title>我的影片</title>"),
        QStringLiteral(R"(<style type="text/css">)"),
        QStringLiteral("a {color: #FFFFFF;text-decoration:none}"),
        QStringLiteral("a:visited {color: #FFFFFF;text-decoration:none}"),
        QStringLiteral(".STYLE1 {"),
        QStringLiteral("\tfont-size: x-large;"),
        QStringLiteral("\tfont-weight: bold;"),
        QStringLiteral("}"),
        QStringLiteral("</style>"),
        QStringLiteral("</head>"),
        QStringLiteral(R"(<body bgcolor="#)") + bodyColour + QStringLiteral(R"(">)"),
        QStringLiteral(R"(<div align="center" style="margin-top:50px; margin-bottom:50px" >)"),
        QStringLiteral(R"(<table border="0" bgcolor="#)") + tableColour +
            QStringLiteral(R"(" style="box-shadow:0 0 5px #000000">)"),
        QStringLiteral(R"(  <tr align="center">)"),
        QStringLiteral("    [[Text]]"),
        QStringLiteral("  </tr>"),
        QStringLiteral("</table>"),
        QStringLiteral("</div>"),
        QStringLiteral("</body>"),
        QStringLiteral("</html>"),
    };
}

QStringList coverCell(const QString &boxSize, const QString &frame, const QString &imageSize,
                      const QString &nameLine)
{
    return {
        QStringLiteral(R"(<td  style="text-align:center"><div style="margin:30px 30px 30px 30px">)"),
        QStringLiteral(R"(<div style=")") + boxSize +
            QStringLiteral(R"(;margin:5px 5px 5px 5px;border: 1px solid #)") + frame +
            QStringLiteral(R"(;box-shadow:0 0 5px #000000">)"),
        QStringLiteral(R"(<a href="Data/[[Title]].html"><img src="Image/[[Title]].jpg" )") + imageSize +
            QStringLiteral(R"( border="0" style="box-shadow:0 0 5px #000000;margin-top:10px"/></a>)"),
        nameLine,
        QStringLiteral("</div>"),
        QStringLiteral("</div>"),
        QStringLiteral("</td>"),
    };
}

} // namespace

QString styledIndexPage()
{
    return joinedLines(QStringList{QStringLiteral("<html>")} +
                       indexPageTail(QStringLiteral("[[Bodybgcolor]]"), QStringLiteral("[[Moviebgcolor]]")));
}

QString plainIndexPage()
{
    return joinedLines(QStringList{DocumentType, XhtmlStart} +
                       indexPageTail(QStringLiteral("202020"), QStringLiteral("333333")));
}

QString styledCoverCell()
{
    return joinedLines(coverCell(
        QStringLiteral("width:[[divwidth]]px;height:[[divheight]]px"), QStringLiteral("[[Coverframecolor]]"),
        QStringLiteral(R"(width="[[Coverwidth]]px" height="[[Coverheight]]px")"),
        QStringLiteral(
            R"(<div style="margin-top: 10px;color:#666666;font-size: [[Coverfontsize]]px">)"
            R"(<a style="color:#[[Coverfontcolor]]"href="Data/[[Title]].html">[[Title]]</a></div>)"
            R"(<div style="color:#[[Numberfontcolor]];font-size: [[Numberfontsize]]px">共 [[Number]] 集</div>)")));
}

QString plainCoverCell()
{
    return joinedLines(
        coverCell(QStringLiteral("width:220px;height:330px"), QStringLiteral("636363"),
                  QStringLiteral(R"(width="185px" height="250px")"),
                  QStringLiteral(R"(<div style="margin-top: 10px;color:#666666;font-size: 13.5px">)"
                                 R"(<a href="Data/[[Title]].html">[[Title]]</a></div>)"
                                 R"(<div style="color:#666666;font-size: 13.5px">共 [[Number]] 集</div>)")));
}

QString rowBreak()
{
    return joinedLines({QStringLiteral("</tr>"), QStringLiteral(R"(  <tr align="center">)")});
}

QString button()
{
    return joinedLines({QStringLiteral(
        R"-(<button onclick="scr[[SerialNumber]]()" type="button">[[MovieName2]]</button>)-")});
}

QString function()
{
    return joinedLines({
        QStringLiteral("function scr[[SerialNumber]](){ "),
        QStringLiteral("\tmyVid.src=\"../movie[[MovieFile]]/[[MovieName]]\";"),
        QStringLiteral("\tdocument.getElementById('Titel').innerHTML = '[[Title]] [[MovieName2]]';"),
        QStringLiteral(" } "),
    });
}

QString playPage()
{
    const QString t1 = QStringLiteral("\t");
    const QString t2 = QStringLiteral("\t\t");
    const QString t3 = QStringLiteral("\t\t\t");
    const QString t5 = QStringLiteral("\t\t\t\t\t");
    const QString t6 = QStringLiteral("\t\t\t\t\t\t");
    const QString s4 = QStringLiteral("    ");
    return joinedLines({
        DocumentType,
        XhtmlStart,
        QStringLiteral("<head>"),
        QStringLiteral(R"(<meta http-equiv="Content-Type" content="text/html; charset=gb2312" />)"),
        QStringLiteral("<title>[[Title]]</title>"),
        QString(),
        QString(),
        QStringLiteral(R"(<style type="text/css">)"),
        QStringLiteral("a {color: #FFFFFF;text-decoration:none}"),
        QStringLiteral("a:visited {color: #FFFFFF;text-decoration:none}"),
        QStringLiteral(".link {color: #FFFFFF;text-decoration:none}"),
        QStringLiteral(".link:visited {color: #FFFFFF;text-decoration:none}"),
        QStringLiteral(".link2 {color: #666666;text-decoration:none}"),
        QStringLiteral(".link2:visited {color: #666666;text-decoration:none}"),
        QString(),
        QStringLiteral(".STYLE1 {"),
        t1 + QStringLiteral("color: #666666;"),
        t1 + QStringLiteral("text-decoration:none;"),
        QStringLiteral("}"),
        t1 + QStringLiteral("div.Cbtn {"),
        s4 + QStringLiteral("display: inline-block;"),
        s4 + QStringLiteral("width: 140px;"),
        s4 + QStringLiteral("height: 34px;"),
        s4 + QStringLiteral("line-height: 34px;"),
        s4 + QStringLiteral("border: 1px #636363 solid;"),
        s4 + QStringLiteral("color: #636363;"),
        s4 + QStringLiteral("transition: all 0.5s ease;"),
        s4 + QStringLiteral("font-size: 14px;"),
        s4 + QStringLiteral("transition: all 0.5s ease;"),
        s4 + QStringLiteral("text-align: center;"),
        s4 + QStringLiteral("margin: 0px auto;"),
        s4 + QStringLiteral("margin-top: 30px;"),
        t1 + QStringLiteral("text-decoration:none;"),
        QStringLiteral("}"),
        t1 + QStringLiteral("div.Cbtn:hover{;"),
        t1 + QStringLiteral("border-color:#636363;"),
        t1 + QStringLiteral("color:#e5aa52;"),
        t1 + QStringLiteral("box-shadow:0 0 5px #f0f0f0;"),
        t1 + QStringLiteral("}"),
        t1 + QStringLiteral("button {"),
        s4 + QStringLiteral("display: inline-block;"),
        s4 + QStringLiteral("width: 100px;"),
        s4 + QStringLiteral("height: 30px;"),
        s4 + QStringLiteral("border: 1px #636363 solid;"),
        s4 + QStringLiteral("color: #666666;"),
        s4 + QStringLiteral("transition: all 0.5s ease;"),
        s4 + QStringLiteral("transition: all 0.5s ease;"),
        s4 + QStringLiteral("text-align: center;"),
        s4 + QStringLiteral("margin: 0px auto;"),
        s4 + QStringLiteral("margin-top: 5px;"),
        t1 + QStringLiteral("text-decoration:none;"),
        t1 + QStringLiteral("background-color:#202020;"),
        QStringLiteral("}"),
        t1 + QStringLiteral("button:hover{;"),
        t1 + QStringLiteral("border-color:#636363;"),
        t1 + QStringLiteral("color:#666666;"),
        t1 + QStringLiteral("box-shadow:0 0 5px #f0f0f0;"),
        t1 + QStringLiteral("cursor:pointer;"),
        t1 + QStringLiteral("}"),
        QStringLiteral("</style>"),
        QString(),
        QString(),
        QStringLiteral("</head>"),
        QStringLiteral(R"(<body bgcolor="#202020">)"),
        QString(),
        QStringLiteral(R"(<div align="center" style="margin-top:50px; margin-bottom:50px;" >)"),
        t2,
        t2 + QStringLiteral(R"(<div id="main" style="width:100%;">)"),
        QString(),
        t3 + QStringLiteral(R"(<div id="left" style="width:70%;float:left;">)"),
        t5 + QStringLiteral(R"(<div align="center" style="margin:10px 10px 10px 10px">)"),
        t6 + QStringLiteral(R"(<video id="video1" controls="controls" style="width:95%">)"),
        t6 + QStringLiteral(R"(  <source src="../movie[[MovieFile]]/[[DefaultMovie]]" type="video/mp4">)"),
        t6 + QStringLiteral("  Your browser does not support HTML5 video."),
        t6 + QStringLiteral("</video>"),
        t6,
        t5 + QStringLiteral("</div>"),
        t5 + QStringLiteral(R"(<div align="center" style="margin-bottom:50px">)"),
        t5 +
            QStringLiteral(
                R"(<div style="color:#666666;margin:10px 10px 10px 10px"><b id="Titel">[[Title]]</b></div>)"),
        t5 + QStringLiteral(R"-(<button onclick="setPlaySpeed()" type="button">1倍速</button>)-"),
        t5 + QStringLiteral(R"-(<button onclick="setPlaySpeed2()" type="button">2倍速</button>)-"),
        t5 + QStringLiteral(R"-(<button onclick="setPlaySpeed3()" type="button">3倍速</button>)-"),
        t5 + QStringLiteral("</div>"),
        t3 + QStringLiteral("</div>"),
        t3 + QStringLiteral(R"(<div id="right" style="width:30%;float:left;" align="left">)"),
        t5 + QStringLiteral(R"(<div style="color:#f0f0f0;margin:10px 10px 10px 10px">)"
                            R"(<a href="../index.html" class="link2">首页</a></div>)"),
        t5 + QStringLiteral("[[ButtonList]]"),
        QString(),
        t3 + QStringLiteral("</div>"),
        QString(),
        t2 + QStringLiteral("</div>"),
        QString(),
        QStringLiteral("</div>"),
        QString(),
        QString(),
        QStringLiteral("<script>"),
        QStringLiteral(R"(myVid=document.getElementById("video1");)"),
        QStringLiteral("function setPlaySpeed()"),
        QStringLiteral("  { "),
        QStringLiteral("  myVid.playbackRate=1;"),
        QStringLiteral("  } "),
        QStringLiteral("function setPlaySpeed2()"),
        QStringLiteral("  { "),
        QStringLiteral("  myVid.playbackRate=2;"),
        QStringLiteral("  } "),
        QStringLiteral("function setPlaySpeed3()"),
        QStringLiteral("  { "),
        QStringLiteral("  myVid.playbackRate=3;"),
        QStringLiteral("  } "),
        QStringLiteral("[[FunctionList]]"),
        QString(),
        QStringLiteral("</script> "),
        QString(),
        QString(),
        QStringLiteral("</body>"),
        QString(),
        QStringLiteral("</html>"),
    });
}

} // namespace tessaly::builtin
