#include "settings/EditedSettings.h"

#include "files/TextFile.h"
#include "settings/IniFile.h"
#include "support/RecordingMessages.h"
#include "support/TempWorkspace.h"

#include <gtest/gtest.h>

using namespace tessaly;
using namespace tessaly::testing;

TEST(EditedSettings, ASettingsFileThatIsAFolderReadsAsMissing)
{
    TempWorkspace files;
    files.withFolders();
    files.makeFolder(QStringLiteral("Setting/Setting.ini"));
    const EditedSettings edited = EditedSettings::read(files.workspace());
    EXPECT_EQ(edited.movieFile, QString());
    EXPECT_FALSE(edited.webUpdate);
}

TEST(EditedSettings, SavingKeepsTheKeysItDoesNotEdit)
{
    TempWorkspace files;
    files.withFolders();
    files.writeText(QStringLiteral("Setting/Setting.ini"),
                    QStringLiteral("[Setting]\r\nCoverSearch1=https://old/[[Title]]\r\nTheme=暗"));
    RecordingMessages messages;

    EditedSettings edited = EditedSettings::read(files.workspace());
    EXPECT_EQ(edited.coverSearch1, QStringLiteral("https://old/[[Title]]"));
    edited.coverSearch1 = QStringLiteral("https://new/search_[[Title]]/");
    edited.webUpdate = true;
    ASSERT_TRUE(edited.save(files.workspace()));

    const QString file = files.workspace().settingsFile();
    EXPECT_EQ(ini::read(QStringLiteral("Setting"), QStringLiteral("Theme"), file), QStringLiteral("暗"));
    EXPECT_EQ(ini::read(QStringLiteral("Setting"), QStringLiteral("CoverSearch1"), file),
              QStringLiteral("https://new/search_[[Title]]/"));
    EXPECT_EQ(ini::read(QStringLiteral("Setting"), QStringLiteral("WebUpdate"), file),
              QStringLiteral("True"));
    EXPECT_TRUE(messages.isEmpty());
}

TEST(EditedSettings, AMissingSettingFolderIsReportedWithThePath)
{
    TempWorkspace files; // no start-up folders: `Setting` is missing
    const files::Outcome<void> saved = EditedSettings{}.save(files.workspace());
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.failure().path, files.workspace().settingsFile());
    EXPECT_FALSE(saved.failure().reason.isEmpty());
    EXPECT_FALSE(files.exists(QStringLiteral("Setting")));
}

TEST(EditedSettings, FoldersAndValuesTheFileCannotCarryAreRefusedAndNothingIsWritten)
{
    TempWorkspace files;
    files.withFolders();
    files.writeSiteSettings(QStringLiteral("/m"), QStringLiteral("/site"));
    const QByteArray before = files.readBytes(QStringLiteral("Setting/Setting.ini"));
    const QString blankText = QStringLiteral("路径不能以空白开头或结尾,也不能含有控制字符!");
    const QString unstorableText = QStringLiteral("路径中含有无法保存的字符!");

    const QList<std::pair<QString, QString>> refusedFolders{
        {QStringLiteral(" /m"), blankText},
        {QStringLiteral("/m\t"), blankText},
        {QStringLiteral("/m\nx"), blankText},
        {QStringLiteral("/m") + QChar(0x7F), blankText},
        {QStringLiteral("/小䴙䴘"), unstorableText},
        {QStringLiteral("/m") + QChar::ReplacementCharacter, unstorableText}};
    for (const auto &[folder, text] : refusedFolders) {
        for (const bool asSiteFolder : {false, true}) {
            EditedSettings edited = EditedSettings::read(files.workspace());
            (asSiteFolder ? edited.webFile : edited.movieFile) = folder;
            const files::Outcome<void> saved = edited.save(files.workspace());
            ASSERT_FALSE(saved);
            EXPECT_EQ(saved.failure().text(), folder + QStringLiteral("\r\n") + text);
        }
    }

    // A link is not a folder, but the file still cannot carry every character.
    EditedSettings edited = EditedSettings::read(files.workspace());
    edited.webLink = QStringLiteral("http://nas/䴗");
    const files::Outcome<void> saved = edited.save(files.workspace());
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.failure().text(),
              files.workspace().settingsFile() + QStringLiteral("\r\n文件中含有无法保存的字符!"));
    EXPECT_EQ(files.readBytes(QStringLiteral("Setting/Setting.ini")), before);
}
