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
