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
    RecordingMessages messages;
    EXPECT_FALSE(EditedSettings{}.save(files.workspace()));
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_TRUE(messages.last().text.startsWith(files.workspace().settingsFile() + QStringLiteral("\r\n")));
    EXPECT_EQ(messages.last().icon, MessageIcon::Error);
    EXPECT_FALSE(files.exists(QStringLiteral("Setting")));
}
