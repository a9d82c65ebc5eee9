#include "site/Style.h"

#include "files/TextFile.h"
#include "site/BuiltinTemplates.h"
#include "site/Placeholders.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <array>
#include <gtest/gtest.h>

using namespace tessaly;
using namespace tessaly::testing;

namespace {

class StyleLoad : public ::testing::Test
{
protected:
    StyleLoad() { space.withFolders(); }

    void writeStyle(const QString &body) { space.writeText(QStringLiteral("Style/Style.ini"), body); }
    static QString fullStyle(const QString &width = QStringLiteral("185"),
                             const QString &height = QStringLiteral("250"),
                             const QString &line = QStringLiteral("3"))
    {
        return QStringLiteral("[Setting]\r\nBodybgcolor=202020\r\nMoviebgcolor=333333\r\nLinecontent=%3\r\n"
                              "Coverwidth=%1\r\nCoverheight=%2\r\nCoverframecolor=636363\r\n"
                              "Coverfontsize=13.5\r\nCoverfontcolor=FFFFFF\r\nNumberfontsize=13.5\r\n"
                              "Numberfontcolor=666666")
            .arg(width, height, line);
    }

    TempWorkspace space;
    RecordingMessages messages;
};

} // namespace

TEST(BuiltinTemplates, HaveTheirLineCountsAndEndInCrLf)
{
    const auto lineCount = [](const QString &text) { return text.count(QStringLiteral("\r\n")); };
    EXPECT_EQ(lineCount(builtin::styledIndexPage()), 23);
    EXPECT_EQ(lineCount(builtin::plainIndexPage()), 24);
    EXPECT_EQ(lineCount(builtin::styledCoverCell()), 7);
    EXPECT_EQ(lineCount(builtin::plainCoverCell()), 7);
    EXPECT_EQ(lineCount(builtin::rowBreak()), 2);
    EXPECT_EQ(lineCount(builtin::button()), 1);
    EXPECT_EQ(lineCount(builtin::function()), 4);
    EXPECT_EQ(lineCount(builtin::playPage()), 117);
    for (const QString &text : {builtin::styledIndexPage(), builtin::plainIndexPage(), builtin::playPage()}) {
        EXPECT_TRUE(text.endsWith(QStringLiteral("</html>\r\n")));
        EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("[^\r]\n"))));
    }
}

TEST(Placeholders, FillEveryOccurrenceOnceButLaterFillsSeeInsertedText)
{
    QString text = QStringLiteral("[[A]]-[[A]]-[[a]]");
    fillPlaceholder(text, QStringLiteral("[[A]]"), QStringLiteral("[[A]][[B]]"));
    EXPECT_EQ(text, QStringLiteral("[[A]][[B]]-[[A]][[B]]-[[a]]"));
    fillPlaceholder(text, QStringLiteral("[[B]]"), QStringLiteral("x"));
    EXPECT_EQ(text, QStringLiteral("[[A]]x-[[A]]x-[[a]]"));
}

// The split template must give what filling one placeholder after another
// gives, also where a value or the template makes a placeholder of the text
// around it.
TEST(Placeholders, ASplitTemplateFillsAsFillingInTurnDoes)
{
    const QStringList placeholders{QStringLiteral("[[A]]"), QStringLiteral("[[B]]")};
    const QList<std::array<QString, 3>> cases{
        {QStringLiteral("<[[A]]|[[B]]|[[A]]>"), QStringLiteral("[1080p]"), QStringLiteral("[x] ]]")},
        {QStringLiteral("[[A]][[B]]"), QStringLiteral("[[B]]"), QStringLiteral("b")},
        {QStringLiteral("[[A]][B]]"), QStringLiteral("a["), QStringLiteral("b")},
        {QStringLiteral("[[[A]]B]]"), QStringLiteral(""), QStringLiteral("b")},
        {QStringLiteral("[[A]]-[[C]]"), QStringLiteral("a"), QStringLiteral("b")},
        {QStringLiteral("[[B]] [[A]]"), QStringLiteral("[[B"), QStringLiteral("]]")},
        // Short values are looked at four characters at a time.
        {QStringLiteral("[[A]]B]]"), QStringLiteral("abcdef[["), QStringLiteral("b")},
        {QStringLiteral("[[A]]-[[B]]"), QStringLiteral("abc[[B]]x"), QStringLiteral("b")},
        // Long values (lists) are searched another way than short ones.
        {QStringLiteral("[[A]][B]]"), QString(70, u'x') + u'[', QStringLiteral("b")},
        {QStringLiteral("[[B]] [[A]]"), QString(70, u'x') + QStringLiteral("[[B"), QString(70, u']')},
        // Code page 936 cannot carry these: the whole is GB18030.
        {QStringLiteral("中[[A]]文[[B]]"), QStringLiteral("ÿ"), QStringLiteral("文😀")},
    };
    for (const auto &[text, a, b] : cases) {
        QString expected = text;
        fillPlaceholder(expected, placeholders.at(0), a);
        fillPlaceholder(expected, placeholders.at(1), b);
        QString filled = QStringLiteral("head ");
        TemplateFiller(text, placeholders).appendFilled(filled, {a, b});
        EXPECT_EQ(filled, QStringLiteral("head ") + expected) << text.toStdString();
        EXPECT_EQ(TemplateFiller(text, placeholders).filledFileBytes({a, b}), text::fileBytes(expected))
            << text.toStdString();
    }
}

TEST(WholeNumber, RoundsHalfToEvenAndRefusesWhatIsNotANumber)
{
    EXPECT_EQ(wholeNumber(QStringLiteral("185.5")), 186);
    EXPECT_EQ(wholeNumber(QStringLiteral("184.5")), 184);
    EXPECT_EQ(wholeNumber(QStringLiteral("184.51")), 185);
    EXPECT_EQ(wholeNumber(QStringLiteral(" -2.5 ")), -2);
    EXPECT_EQ(wholeNumber(QStringLiteral("+7")), 7);
    EXPECT_EQ(wholeNumber(QStringLiteral(".5")), 0);
    EXPECT_EQ(wholeNumber(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(wholeNumber(QStringLiteral("-2147483648")), -2147483647 - 1);
    for (const char *bad : {"", " ", "1e3", "185px", "0x10", "2147483647.5", "99999999999", "1 2", "-", "."})
        EXPECT_FALSE(wholeNumber(QString::fromLatin1(bad)).has_value()) << bad;
}

TEST_F(StyleLoad, WithoutStyleIniSaysSoAndUsesThePlainTemplates)
{
    const WorkingTemplates templates = UpdateStyle(space.workspace());
    ASSERT_TRUE(templates.box);
    EXPECT_EQ(templates.box->title, QStringLiteral("Tessaly"));
    EXPECT_EQ(templates.box->text,
              QStringLiteral("布局设计文件不存在\r\n在 菜单 → 布局设计 中保存一次即可不再显示。"));
    EXPECT_EQ(templates.box->icon, MessageIcon::None);
    EXPECT_EQ(templates.box->buttons, MessageButtons::Ok);
    EXPECT_EQ(templates.indexPage, builtin::plainIndexPage());
    EXPECT_EQ(templates.coverCell, builtin::plainCoverCell());
    EXPECT_EQ(templates.cellsPerRow, 3);
}

TEST_F(StyleLoad, WritesMissingTemplateFilesAndReadsThemOnTheNextLoad)
{
    WorkingTemplates templates = UpdateStyle(space.workspace());
    EXPECT_TRUE(templates.playPage.isEmpty());
    EXPECT_EQ(space.readBytes(QStringLiteral("Style/PageStyle.html")),
              text::encode(builtin::playPage()) + "\r\n");
    EXPECT_EQ(space.readBytes(QStringLiteral("Style/ButtonStyle.html")),
              text::encode(builtin::button()) + "\r\n");
    EXPECT_TRUE(space.readBytes(QStringLiteral("Style/FunctionStyle.html")).endsWith("} \r\n\r\n"));

    templates = UpdateStyle(space.workspace(), templates);
    EXPECT_EQ(templates.playPage, builtin::playPage() + QStringLiteral("\r\n"));
    EXPECT_EQ(templates.function, builtin::function() + QStringLiteral("\r\n"));

    // A file removed later is written again; the template read before stays.
    QFile::remove(space.path(QStringLiteral("Style/ButtonStyle.html")));
    templates = UpdateStyle(space.workspace(), templates);
    EXPECT_EQ(templates.button, builtin::button() + QStringLiteral("\r\n"));
    EXPECT_TRUE(space.exists(QStringLiteral("Style/ButtonStyle.html")));
}

TEST_F(StyleLoad, ReadsAnEditedTemplateAsCodePage936OrInTheEncodingItsMarkNames)
{
    space.writeBytes(QStringLiteral("Style/PageStyle.html"), QByteArray("<p>[[title]]\xC4\xE3</p>\n"));
    EXPECT_EQ(UpdateStyle(space.workspace()).playPage, QStringLiteral("<p>[[title]]你</p>\n"));
}

TEST_F(StyleLoad, AMarkedTemplateIsReadInTheEncodingItsMarkNames)
{
    // Editors on Windows mark their files: the mark decides, and is dropped.
    space.writeBytes(QStringLiteral("Style/PageStyle.html"),
                     "\xEF\xBB\xBF" + QStringLiteral("<p>[[Title]]你</p>\r\n").toUtf8());
    EXPECT_EQ(UpdateStyle(space.workspace()).playPage, QStringLiteral("<p>[[Title]]你</p>\r\n"));
}

TEST_F(StyleLoad, ATemplateThatCannotBeDecodedIsAFailureAndKeepsTheTemplateBefore)
{
    space.writeBytes(QStringLiteral("Style/PageStyle.html"), QByteArray("<p>[[Title]]</p>"));
    WorkingTemplates templates = UpdateStyle(space.workspace());
    EXPECT_TRUE(templates.failures.isEmpty());

    space.writeBytes(QStringLiteral("Style/PageStyle.html"), QByteArray("<p>\xFF</p>"));
    templates = UpdateStyle(space.workspace(), templates);
    EXPECT_EQ(templates.playPage, QStringLiteral("<p>[[Title]]</p>"));
    ASSERT_EQ(templates.failures.size(), 1);
    EXPECT_EQ(templates.failures.first().path, space.path(QStringLiteral("Style/PageStyle.html")));
    EXPECT_EQ(templates.failures.first().reason, QStringLiteral("无法识别的文字编码"));
}

TEST_F(StyleLoad, FillsTheStyledTemplatesFromStyleIni)
{
    writeStyle(fullStyle(QStringLiteral("185.5"), QStringLiteral("250"), QStringLiteral("4")));
    const WorkingTemplates templates = UpdateStyle(space.workspace());
    EXPECT_FALSE(templates.box);
    EXPECT_EQ(templates.cellsPerRow, 4);
    EXPECT_TRUE(templates.coverCell.contains(QStringLiteral("width:221px;height:330px")));
    EXPECT_TRUE(templates.coverCell.contains(QStringLiteral("width=\"185.5px\" height=\"250px\"")));
    EXPECT_TRUE(templates.indexPage.startsWith(QStringLiteral("<html>\r\n")));
    EXPECT_TRUE(templates.indexPage.contains(QStringLiteral("<body bgcolor=\"#202020\">")));
}

TEST_F(StyleLoad, StyledTemplatesWithPlainValuesDifferFromThePlainOnesOnlyWhereTheyShould)
{
    writeStyle(fullStyle());
    const WorkingTemplates templates = UpdateStyle(space.workspace());
    QString cell = templates.coverCell;
    cell.replace(QStringLiteral("<a style=\"color:#FFFFFF\"href="), QStringLiteral("<a href="));
    EXPECT_EQ(cell, builtin::plainCoverCell());
    EXPECT_EQ(templates.indexPage.split(QStringLiteral("\r\n")).mid(1),
              builtin::plainIndexPage().split(QStringLiteral("\r\n")).mid(2));
}

TEST_F(StyleLoad, AValueHoldingALaterPlaceholderIsFilledAgain)
{
    writeStyle(fullStyle().replace(QStringLiteral("Coverframecolor=636363"),
                                   QStringLiteral("Coverframecolor=[[Numberfontcolor]][[Coverwidth]]")));
    const WorkingTemplates templates = UpdateStyle(space.workspace());
    EXPECT_TRUE(templates.coverCell.contains(QStringLiteral("solid #666666[[Coverwidth]];")));
}

TEST_F(StyleLoad, ZeroCellsPerRowIsKept)
{
    writeStyle(fullStyle(QStringLiteral("185"), QStringLiteral("250"), QStringLiteral("0")));
    EXPECT_EQ(UpdateStyle(space.workspace()).cellsPerRow, 0);
}

TEST_F(StyleLoad, ANumberThatIsNotOneIsNamedAndThePlainTemplatesAreUsed)
{
    const struct
    {
        QString style;
        QString message;
    } cases[] = {
        {fullStyle(QStringLiteral("185px")), QStringLiteral("Coverwidth的值不是有效的数字!")},
        {fullStyle(QStringLiteral("185"), QStringLiteral("")),
         QStringLiteral("Coverheight的值不是有效的数字!")},
        {fullStyle(QStringLiteral("185"), QStringLiteral("250"), QStringLiteral("1e2")),
         QStringLiteral("Linecontent的值不是有效的数字!")},
        {fullStyle(QStringLiteral("2147483640")), QStringLiteral("Coverwidth的值不是有效的数字!")},
        {fullStyle(QStringLiteral("185"), QStringLiteral("2147483600")),
         QStringLiteral("Coverheight的值不是有效的数字!")},
    };
    for (const auto &c : cases) {
        writeStyle(c.style);
        const WorkingTemplates templates = UpdateStyle(space.workspace());
        ASSERT_TRUE(templates.box) << c.message.toStdString();
        EXPECT_EQ(templates.box->text, c.message);
        EXPECT_EQ(templates.box->title, QStringLiteral("提示"));
        EXPECT_EQ(templates.box->icon, MessageIcon::Error);
        EXPECT_EQ(templates.coverCell, builtin::plainCoverCell());
        EXPECT_EQ(templates.indexPage, builtin::plainIndexPage());
        EXPECT_EQ(templates.cellsPerRow, 3);
    }
}

TEST_F(StyleLoad, AMissingTemplateThatCannotBeWrittenIsAFailure)
{
    QDir(space.path(QStringLiteral("Style"))).removeRecursively();
    space.writeBytes(QStringLiteral("Style"), "a file where the folder should be");
    const WorkingTemplates templates = UpdateStyle(space.workspace());
    ASSERT_EQ(templates.failures.size(), 3);
    EXPECT_EQ(templates.failures.first().kind, InputFileFailure::Kind::Write);
    EXPECT_EQ(templates.failures.first().path, space.path(QStringLiteral("Style/PageStyle.html")));
    EXPECT_FALSE(templates.failures.first().reason.isEmpty());
}
