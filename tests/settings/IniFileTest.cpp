#include "settings/IniFile.h"

#include "settings/SettingsFiles.h"
#include "support/TempWorkspace.h"

#include <gtest/gtest.h>

using namespace tessaly;
using tessaly::testing::TempWorkspace;

namespace {

const QString S = QStringLiteral("Setting");

QString value(const char *content, const char *key)
{
    return ini::valueIn(QString::fromUtf8(content), S, QString::fromUtf8(key));
}

} // namespace

TEST(IniRead, MatchesSectionAndKeyWithoutCaseAndTrimsBlanks)
{
    EXPECT_EQ(value("[setting]\r\n  movieFILE \t=  /m/电影 \t\r\n", "MovieFile"), QStringLiteral("/m/电影"));
    EXPECT_EQ(value("[ Setting ]\nFile=/a\n", "file"), QStringLiteral("/a"));
}

TEST(IniRead, TheFirstSectionAndKeyWin)
{
    const char *content = "[Setting]\r\nFile=/one\r\nFile=/two\r\n[Setting]\r\nFile=/three\r\n";
    EXPECT_EQ(value(content, "File"), QStringLiteral("/one"));
    EXPECT_EQ(value("[Setting]\r\nOther=1\r\n[Setting]\r\nFile=/late\r\n", "File"), QString());
}

TEST(IniRead, KeysOutsideTheSectionAndMissingThingsReadEmpty)
{
    EXPECT_EQ(value("File=/stray\r\n[Other]\r\nFile=/x\r\n", "File"), QString());
    EXPECT_EQ(value("", "File"), QString());
    EXPECT_EQ(value("[Setting]\r\nFile\r\n", "File"), QString());
    EXPECT_EQ(value("[Setting]\r\nFile=/no/final/line/end", "File"), QStringLiteral("/no/final/line/end"));
}

TEST(IniRead, LongValuesAreReadWhole)
{
    const QString longPath = QStringLiteral("/") + QString(600, u'长');
    EXPECT_EQ(ini::valueIn(QStringLiteral("[Setting]\r\nFile=") + longPath, S, QStringLiteral("File")),
              longPath);
}

TEST(IniWrite, ReplacesOnlyTheFirstMatchingValueAndKeepsEveryOtherLine)
{
    const QString before =
        QStringLiteral("; note\r\n[Other]\r\nFile=x\r\n[SETTING]\r\nfile = old\r\nFile=dup\n"
                       "Keep=1\r\n\r\n[Setting]\r\nFile=second\r\n");
    const QString after = ini::withValue(before, S, QStringLiteral("File"), QStringLiteral("new"));
    EXPECT_EQ(after, QStringLiteral("; note\r\n[Other]\r\nFile=x\r\n[SETTING]\r\nFile=new\r\nFile=dup\n"
                                    "Keep=1\r\n\r\n[Setting]\r\nFile=second\r\n"));
}

TEST(IniWrite, AddsMissingKeysAfterTheSectionsLastLineAndMissingSectionsAtTheEnd)
{
    EXPECT_EQ(ini::withValue(QStringLiteral("[Setting]\r\nA=1\r\n\r\n[Next]\r\n"), S, QStringLiteral("B"),
                             QStringLiteral("2")),
              QStringLiteral("[Setting]\r\nA=1\r\nB=2\r\n\r\n[Next]\r\n"));
    EXPECT_EQ(ini::withValue(QStringLiteral("[Other]\r\nA=1"), S, QStringLiteral("B"), QStringLiteral("2")),
              QStringLiteral("[Other]\r\nA=1\r\n[Setting]\r\nB=2\r\n"));
    EXPECT_EQ(ini::withValue(QString(), S, QStringLiteral("B"), QString()),
              QStringLiteral("[Setting]\r\nB=\r\n"));
}

TEST(IniFiles, RoundTripChinesePathsAsCodePage936)
{
    TempWorkspace ws;
    const QString file = ws.path(QStringLiteral("x.ini"));
    ASSERT_TRUE(ini::write(S, QStringLiteral("File"), QStringLiteral("/影片/第一季"), file));
    EXPECT_EQ(ws.readBytes(QStringLiteral("x.ini")),
              QByteArray("[Setting]\r\nFile=/\xd3\xb0\xc6\xac/\xb5\xda\xd2\xbb\xbc\xbe\r\n"));
    EXPECT_EQ(ini::read(S, QStringLiteral("file"), file), QStringLiteral("/影片/第一季"));
    EXPECT_EQ(ini::read(S, QStringLiteral("File"), ws.path(QStringLiteral("none.ini"))), QString());
}

TEST(IniFiles, AWriteIntoAMissingFolderFailsWithAReason)
{
    TempWorkspace ws;
    const QString file = ws.path(QStringLiteral("no/x.ini"));
    const files::Outcome<void> written = ini::write(S, QStringLiteral("File"), QStringLiteral("/x"), file);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.failure().path, file);
    EXPECT_FALSE(written.failure().reason.isEmpty());
}

TEST(IniFiles, AnUndecodableFileIsNotOverwritten)
{
    TempWorkspace ws;
    ws.writeBytes(QStringLiteral("bad.ini"), QByteArray("[Setting]\r\nA=\xff\xff\r\n"));
    EXPECT_FALSE(ini::write(S, QStringLiteral("B"), QStringLiteral("1"), ws.path(QStringLiteral("bad.ini"))));
    EXPECT_EQ(ws.readBytes(QStringLiteral("bad.ini")), QByteArray("[Setting]\r\nA=\xff\xff\r\n"));
}

TEST(SiteSettingsFile, OnlyTheExactWordTruePublishesAndTheRootLosesTrailingSeparators)
{
    TempWorkspace ws;
    ws.withFolders();
    ws.writeSiteSettings(QStringLiteral("/movies//"), QStringLiteral("/srv"), QString(),
                         QStringLiteral("true"));
    SiteSettings settings = SiteSettings::read(ws.workspace());
    EXPECT_FALSE(settings.publishes());
    EXPECT_EQ(settings.movieRoot(), QStringLiteral("/movies"));
    settings.webUpdate = QStringLiteral("True");
    ASSERT_TRUE(settings.write(ws.workspace()));
    EXPECT_TRUE(SiteSettings::read(ws.workspace()).publishes());
}

TEST(SiteSettingsFile, WritesTheFourKeysInOrderIntoANewFile)
{
    TempWorkspace ws;
    ws.withFolders();
    SiteSettings settings{QStringLiteral("/m"), QStringLiteral("/w"), QStringLiteral("http://h/"),
                          QStringLiteral("False")};
    ASSERT_TRUE(settings.write(ws.workspace()));
    EXPECT_EQ(
        ws.readBytes(QStringLiteral("Setting/Setting.ini")),
        QByteArray("[Setting]\r\nWebUpdate=False\r\nMovieFile=/m\r\nWebFile=/w\r\nWebLink=http://h/\r\n"));
}

TEST(SiteSettingsFile, AFailedWriteNamesTheSettingsFile)
{
    TempWorkspace ws; // no `Setting` folder
    const files::Outcome<void> written = SiteSettings{}.write(ws.workspace());
    ASSERT_FALSE(written);
    EXPECT_EQ(written.failure().path, ws.workspace().settingsFile());
    EXPECT_FALSE(written.failure().reason.isEmpty());
}

TEST(ProjectSettingsFile, EpisodeFolderIsEmptyWithoutAFile)
{
    TempWorkspace ws;
    ws.withFolders();
    EXPECT_EQ(settings::episodeFolder(ws.workspace(), QStringLiteral("甲")), QString());
    ASSERT_TRUE(settings::setEpisodeFolder(ws.workspace(), QStringLiteral("甲"), QStringLiteral("/m/甲")));
    EXPECT_EQ(settings::episodeFolder(ws.workspace(), QStringLiteral("甲")), QStringLiteral("/m/甲"));
}

TEST(IniFiles, AFileMarkedUtf16IsReadAndRewrittenAsCodePage936)
{
    TempWorkspace ws;
    const QString content = QStringLiteral("[Setting]\r\nMovieFile=/影片\r\n");
    QByteArray marked("\xFF\xFE");
    marked.append(reinterpret_cast<const char *>(content.utf16()), content.size() * 2);
    ws.writeBytes(QStringLiteral("Setting.ini"), marked);
    const QString file = ws.path(QStringLiteral("Setting.ini"));
    EXPECT_EQ(ini::read(S, QStringLiteral("MovieFile"), file), QStringLiteral("/影片"));
    ASSERT_TRUE(ini::write(S, QStringLiteral("WebFile"), QStringLiteral("/站"), file));
    EXPECT_EQ(ws.readBytes(QStringLiteral("Setting.ini")),
              QByteArray("[Setting]\r\nMovieFile=/\xd3\xb0\xc6\xac\r\nWebFile=/\xd5\xbe\r\n"));
}

TEST(IniFiles, WhatCodePage936CannotGiveBackIsWrittenInGb18030)
{
    TempWorkspace ws;
    const QString file = ws.path(QStringLiteral("x.ini"));
    // Code page 936 writes U+F8F5 as the byte 0xFF, which makes the file unreadable.
    const QString value = QStringLiteral("/鸟") + QChar(0xF8F5);
    ASSERT_TRUE(ini::write(S, QStringLiteral("File"), value, file));
    EXPECT_EQ(ini::read(S, QStringLiteral("File"), file), value);
}

TEST(IniFiles, AnUnmarkedUtf8FileIsReadAndRewrittenAsUtf8)
{
    TempWorkspace ws;
    const QString file = ws.path(QStringLiteral("x.ini"));
    const QString content = QStringLiteral("[Setting]\r\nFile=/影片/大话西游\r\n");
    ws.writeBytes(QStringLiteral("x.ini"), content.toUtf8());
    EXPECT_EQ(ini::read(S, QStringLiteral("File"), file), QStringLiteral("/影片/大话西游"));
    ASSERT_TRUE(ini::write(S, QStringLiteral("File"), QStringLiteral("/影片/鲁迅"), file));
    EXPECT_EQ(ws.readBytes(QStringLiteral("x.ini")),
              QStringLiteral("[Setting]\r\nFile=/影片/鲁迅\r\n").toUtf8());

    // A code page 936 file whose bytes are valid UTF-8 of other letters.
    const QByteArray codePage936("[Setting]\r\nFile=/\xC2\xB3\xD1\xB8\r\n");
    ws.writeBytes(QStringLiteral("x.ini"), codePage936);
    EXPECT_EQ(ini::read(S, QStringLiteral("File"), file), QStringLiteral("/鲁迅"));
    ASSERT_TRUE(ini::write(S, QStringLiteral("B"), QStringLiteral("唯一"), file));
    EXPECT_EQ(ws.readBytes(QStringLiteral("x.ini")), codePage936 + "B=\xCE\xA8\xD2\xBB\r\n");
}
