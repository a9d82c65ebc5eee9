#include "catalogue/ProjectNames.h"

#include <gtest/gtest.h>

using tessaly::names::refusalFor;

namespace {

QString spaced(const QString &character)
{
    return QStringLiteral("非法名称,数据中不能含有   ") + character + QStringLiteral("   字符!");
}

const QString ControlText = QStringLiteral("非法名称,数据中不能含有控制字符!");
const QString LeadingDotText = QStringLiteral("非法名称,名称不能以.开头!");
const QString ReservedText = QStringLiteral("该名称为系统保留名称,请使用其他名称!");
const QString DuplicateText = QStringLiteral("该文件夹已经存在,请使用其他名称!");

} // namespace

TEST(ProjectNames, OrdinaryNamesAreAccepted)
{
    const QStringList listed{QStringLiteral("Alpha")};
    EXPECT_EQ(refusalFor(QStringLiteral("  Alpha"), listed), QString())
        << "a leading space makes another name";
    EXPECT_EQ(refusalFor(QStringLiteral("alpha"), listed), QString()) << "names compare case-sensitively";
    EXPECT_EQ(refusalFor(QStringLiteral("封面 第一季"), listed), QString());
    EXPECT_EQ(refusalFor(QStringLiteral("Alpha.Beta"), listed), QString());
    EXPECT_EQ(refusalFor(QStringLiteral("Settings"), listed), QString());
}

TEST(ProjectNames, QuoteAndBarAreReportedWithoutSpaces)
{
    EXPECT_EQ(refusalFor(QStringLiteral("a\"b/c"), {}), QStringLiteral("非法名称,数据中不能含有\"字符!"));
    EXPECT_EQ(refusalFor(QStringLiteral("a/b|c"), {}), QStringLiteral("非法名称,数据中不能含有|字符!"));
}

TEST(ProjectNames, FileNameCharactersAreReportedInListOrder)
{
    EXPECT_EQ(refusalFor(QStringLiteral("a:b/c"), {}), spaced(QStringLiteral("/")));
    EXPECT_EQ(refusalFor(QStringLiteral("a>b\\c"), {}), spaced(QStringLiteral("\\")));
    EXPECT_EQ(refusalFor(QStringLiteral("a*b"), {}), spaced(QStringLiteral("*")));
    EXPECT_EQ(refusalFor(QStringLiteral("a<b>"), {}), spaced(QStringLiteral("<")));
    EXPECT_EQ(refusalFor(QStringLiteral("问题？"), {}), spaced(QStringLiteral("？")));
}

TEST(ProjectNames, ControlCharactersComeAfterFileNameCharacters)
{
    EXPECT_EQ(refusalFor(QStringLiteral("a\r\nb"), {}), ControlText);
    EXPECT_EQ(refusalFor(QStringLiteral("a\tb"), {}), ControlText);
    EXPECT_EQ(refusalFor(QString(QChar(0x7f)), {}), ControlText);
    EXPECT_EQ(refusalFor(QStringLiteral("a\n?"), {}), ControlText);
    EXPECT_EQ(refusalFor(QStringLiteral("a\n:"), {}), spaced(QStringLiteral(":")));
}

TEST(ProjectNames, QueryAndLinkCharactersAreRefused)
{
    EXPECT_EQ(refusalFor(QStringLiteral("Why?"), {}), spaced(QStringLiteral("?")));
    EXPECT_EQ(refusalFor(QStringLiteral("No#1"), {}), spaced(QStringLiteral("#")));
    EXPECT_EQ(refusalFor(QStringLiteral("100%"), {}), spaced(QStringLiteral("%")));
    EXPECT_EQ(refusalFor(QStringLiteral("#%?"), {}), spaced(QStringLiteral("?")));
}

TEST(ProjectNames, HiddenAndReservedNamesAreRefused)
{
    EXPECT_EQ(refusalFor(QStringLiteral(".hidden"), {}), LeadingDotText);
    EXPECT_EQ(refusalFor(QStringLiteral(".."), {}), LeadingDotText);
    EXPECT_EQ(refusalFor(QStringLiteral(".a?"), {}), spaced(QStringLiteral("?")));
    EXPECT_EQ(refusalFor(QStringLiteral(" .a"), {}), QString());
    EXPECT_EQ(refusalFor(QStringLiteral("Setting"), {}), ReservedText);
    EXPECT_EQ(refusalFor(QStringLiteral("sETTING"), {}), ReservedText);
    EXPECT_EQ(refusalFor(QStringLiteral("LIST"), {}), ReservedText);
}

TEST(ProjectNames, OnlyAnExactRepeatIsADuplicate)
{
    const QStringList listed{QStringLiteral("A"), QStringLiteral("封面"), QStringLiteral("List")};
    EXPECT_EQ(refusalFor(QStringLiteral("封面"), listed), DuplicateText);
    EXPECT_EQ(refusalFor(QStringLiteral("List"), listed), ReservedText)
        << "reserved is said before duplicate";
    EXPECT_EQ(refusalFor(QStringLiteral("A "), listed), QString());
}

TEST(ProjectNames, UnsavableAndTooLongNamesComeAfterReservedAndBeforeDuplicate)
{
    const QString unsavable = QStringLiteral("非法名称,名称中含有无法保存的字符!");
    const QString tooLong = QStringLiteral("非法名称,名称过长!");
    EXPECT_EQ(refusalFor(QStringLiteral("䴗鸟"), {}), unsavable);
    EXPECT_EQ(refusalFor(QStringLiteral("a") + QChar(0xD800), {}), unsavable) << "lone surrogate";
    EXPECT_EQ(refusalFor(QStringLiteral("LIST") + QChar(0x303E), {}), unsavable);
    EXPECT_EQ(refusalFor(QString(300, u'a') + QChar(0x2FF0), {}), unsavable);

    // The play page's file name, name + ".html", may have 255 bytes in UTF-8.
    const QString longest = QString(83, u'中') + u'a';
    EXPECT_EQ(refusalFor(longest, {}), QString());
    EXPECT_EQ(refusalFor(longest + u'a', {}), tooLong);
    EXPECT_EQ(refusalFor(QString(251, u'a'), {QString(251, u'a')}), tooLong);
    EXPECT_EQ(refusalFor(QStringLiteral("鸟😀"), {}), QString())
        << "GB18030 carries what code page 936 cannot";
}
