#include "site/StyleValues.h"

#include "site/BuiltinTemplates.h"
#include "site/Style.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace tessaly;
using namespace tessaly::testing;
namespace sv = tessaly::style_values;

namespace {

class StyleValues : public ::testing::Test
{
protected:
    StyleValues() { space.withFolders(); }

    sv::Values with(const char *key, const QString &value) const
    {
        sv::Values values = sv::defaults();
        for (int i = 0; i < sv::keys().size(); ++i) {
            if (sv::keys().at(i).name == QLatin1String(key))
                values[i] = value;
        }
        return values;
    }
    QString problemWith(const char *key, const QString &value) const
    {
        const std::optional<sv::Problem> problem = sv::firstProblem(with(key, value));
        return problem ? problem->message : QString();
    }

    TempWorkspace space;
    RecordingMessages messages;
};

} // namespace

TEST_F(StyleValues, TheDefaultsSavedGiveThePlainPagesAndEndTheMissingFileMessage)
{
    EXPECT_EQ(*sv::read(space.workspace()), sv::defaults());
    ASSERT_TRUE(sv::save(space.workspace(), sv::defaults()));
    const WorkingTemplates templates = UpdateStyle(space.workspace());
    EXPECT_FALSE(templates.box) << templates.box->text.toStdString();
    // The styled cell differs from the plain one only by its link's own colour.
    QString cell = templates.coverCell;
    cell.remove(QStringLiteral("style=\"color:#FFFFFF\""));
    EXPECT_EQ(cell, builtin::plainCoverCell());
    // The styled index page differs only by the plain one's document type.
    const QString plain = builtin::plainIndexPage();
    EXPECT_EQ(templates.indexPage.mid(templates.indexPage.indexOf(QStringLiteral("<head>"))),
              plain.mid(plain.indexOf(QStringLiteral("<head>"))));
    EXPECT_EQ(templates.cellsPerRow, 3);
}

TEST_F(StyleValues, RefusesWhatTheStyleLoadRefusesAndValuesOutOfRange)
{
    const struct
    {
        const char *key;
        const char *value;
        const char *message; // empty: accepted
    } cases[] = {
        {"Linecontent", "0", ""},
        {"Linecontent", "4.5", ""},
        {"Linecontent", "three", "Linecontent的值不是有效的数字!"},
        {"Linecontent", "", "Linecontent的值不是有效的数字!"},
        {"Linecontent", "-1", "Linecontent的值不能小于0!"},
        {"Coverwidth", "16", ""},
        {"Coverwidth", "2000", ""},
        {"Coverwidth", "15", "Coverwidth的值必须在16到2000之间!"},
        {"Coverheight", "2000.6", "Coverheight的值必须在16到2000之间!"},
        {"Coverheight", "99999999999", "Coverheight的值不是有效的数字!"},
        {"Coverwidth", "185px", "Coverwidth的值不是有效的数字!"},
        {"Coverfontsize", "1", ""},
        {"Coverfontsize", ".5", "Coverfontsize的值不能小于1!"},
        {"Numberfontsize", "1e3", "Numberfontsize的值不是有效的数字!"},
        {"Bodybgcolor", "a0b1C2", ""},
        {"Bodybgcolor", "#FFFFFF", "Bodybgcolor的值不是有效的颜色!"},
        {"Numberfontcolor", "FFFFF", "Numberfontcolor的值不是有效的颜色!"},
        {"Coverframecolor", "GGGGGG", "Coverframecolor的值不是有效的颜色!"},
    };
    for (const auto &each : cases)
        EXPECT_EQ(problemWith(each.key, QString::fromUtf8(each.value)), QString::fromUtf8(each.message))
            << each.key << "=" << each.value;
    EXPECT_FALSE(sv::firstProblem(sv::defaults()));
}

TEST_F(StyleValues, HelpersWriteUppercaseHexAndShortestDecimalsWhateverTheLocale)
{
    EXPECT_EQ(sv::colourText(255, 0, 16), QStringLiteral("FF0010"));
    EXPECT_EQ(sv::colourOf(QStringLiteral("ff0010")), 0xFF0010u);
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(sv::numberText(13.5), QStringLiteral("13.5"));
    EXPECT_EQ(sv::numberText(185.0), QStringLiteral("185"));
    EXPECT_EQ(sv::numberText(0.1 + 0.2), QStringLiteral("0.30000000000000004"));
    EXPECT_EQ(sv::numberText(1e21), QStringLiteral("1000000000000000000000"));
    EXPECT_EQ(sv::numberOf(QStringLiteral("13,5")), std::nullopt);
    QLocale::setDefault(before);
}

TEST_F(StyleValues, SavingReplacesTheTenKeysAndKeepsEveryOtherLine)
{
    space.writeText(
        QStringLiteral("Style/Style.ini"),
        QStringLiteral("; my colours\r\n[Setting]\r\ncoverwidth = 200\r\nExtra=keep me\r\n"
                       "Bodybgcolor=abcdef\r\nMoviebgcolor=333333\r\nLinecontent=3\r\n"
                       "Coverheight=250.0\r\nCoverframecolor=636363\r\nCoverfontsize=12\r\n"
                       "Coverfontcolor=FFFFFF\r\nNumberfontsize=13.5\r\nNumberfontcolor=666666\r\n"
                       "\r\n[Other]\r\nLinecontent=9"));
    sv::Values values = *sv::read(space.workspace());
    values[2] = QStringLiteral("0");
    ASSERT_TRUE(sv::save(space.workspace(), values));
    const QString saved = QString::fromUtf8(space.readBytes(QStringLiteral("Style/Style.ini")));
    EXPECT_EQ(saved,
              QStringLiteral("; my colours\r\n[Setting]\r\nCoverwidth=200\r\nExtra=keep me\r\n"
                             "Bodybgcolor=abcdef\r\nMoviebgcolor=333333\r\nLinecontent=0\r\n"
                             "Coverheight=250.0\r\nCoverframecolor=636363\r\nCoverfontsize=12\r\n"
                             "Coverfontcolor=FFFFFF\r\nNumberfontsize=13.5\r\nNumberfontcolor=666666\r\n"
                             "\r\n[Other]\r\nLinecontent=9\r\n"));
    const WorkingTemplates templates = UpdateStyle(space.workspace());
    EXPECT_EQ(templates.cellsPerRow, 0);
    EXPECT_FALSE(templates.box);
}

TEST_F(StyleValues, ThePreviewLaysOutTheSampleCellsAsAGenerationWould)
{
    sv::Values values = with("Linecontent", QStringLiteral("2"));
    values[0] = QStringLiteral("\"><script>"); // refused, so shown as its default
    const QString page = sv::previewPage(values, 5, QStringLiteral("data:image/jpeg;base64,AAAA"));
    EXPECT_EQ(page.count(QStringLiteral("<td ")), 5);
    EXPECT_EQ(page.count(builtin::rowBreak()), 2);
    EXPECT_EQ(page.count(QStringLiteral("src=\"data:image/jpeg;base64,AAAA\"")), 5);
    EXPECT_TRUE(page.contains(QStringLiteral("bgcolor=\"#202020\"")));
    EXPECT_FALSE(page.contains(QStringLiteral("[[")));
    EXPECT_FALSE(page.contains(QStringLiteral("<script>")));
}
