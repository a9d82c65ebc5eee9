#include "covers/CandidateFile.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

using namespace tessaly::covers;

namespace {

QString hashSuffix(const QString &title)
{
    return QStringLiteral("-") +
           QString::fromLatin1(
               QCryptographicHash::hash(title.toUtf8(), QCryptographicHash::Sha1).toHex().left(8));
}

} // namespace

TEST(CandidateFileName, ASafeTitleKeepsItsName)
{
    EXPECT_EQ(candidateFileName(QStringLiteral("封面 一 (2020)")), QStringLiteral("封面 一 (2020).jpg"));
    EXPECT_EQ(candidateFileName(QStringLiteral("a.b")), QStringLiteral("a.b.jpg"));
}

TEST(CandidateFileName, PathPiecesAreReplacedAndHashed)
{
    const QString title = QStringLiteral("../../etc/passwd");
    EXPECT_EQ(candidateFileName(title), QStringLiteral("_.._.._etc_passwd") + hashSuffix(title) + ".jpg");
    const QString all = QStringLiteral("a/b\\c:d*e?f\"g<h>i|j\tk");
    EXPECT_EQ(candidateFileName(all), QStringLiteral("a_b_c_d_e_f_g_h_i_j_k") + hashSuffix(all) + ".jpg");
}

TEST(CandidateFileName, HiddenOrEmptyNamesGetAPrefix)
{
    EXPECT_EQ(candidateFileName(QStringLiteral(".hidden")),
              QStringLiteral("_.hidden") + hashSuffix(".hidden") + ".jpg");
    EXPECT_EQ(candidateFileName(QString()), QStringLiteral("_") + hashSuffix(QString()) + ".jpg");
    EXPECT_EQ(candidateFileName(QStringLiteral("..")), QStringLiteral("_..") + hashSuffix("..") + ".jpg");
}

TEST(CandidateFileName, DifferentTitlesThatLookAlikeGetDifferentFiles)
{
    EXPECT_NE(candidateFileName(QStringLiteral("a/b")), candidateFileName(QStringLiteral("a:b")));
    EXPECT_NE(candidateFileName(QStringLiteral("a/b")), candidateFileName(QStringLiteral("a_b")));
}

TEST(CandidateFileName, LongTitlesAreCutAtACharacterBoundary)
{
    const QString chinese = QString(QStringLiteral("封")).repeated(100); // 300 bytes
    const QString name = candidateFileName(chinese);
    EXPECT_EQ(name, QString(QStringLiteral("封")).repeated(66) + hashSuffix(chinese) + ".jpg");

    const QString emoji = QStringLiteral("a") + QString(QStringLiteral("😀")).repeated(60);
    const QString cut = candidateFileName(emoji);
    EXPECT_EQ(cut,
              QStringLiteral("a") + QString(QStringLiteral("😀")).repeated(49) + hashSuffix(emoji) + ".jpg");
    EXPECT_LE(cut.toUtf8().size(), 200 + 13);

    const QString exactly = QString(u'x').repeated(200);
    EXPECT_EQ(candidateFileName(exactly), exactly + ".jpg");
}

TEST(CandidateFilePath, IsAlwaysDirectlyInTheFolder)
{
    EXPECT_EQ(candidateFilePath(QStringLiteral("/w/Temp"), QStringLiteral("/abs/x")),
              QStringLiteral("/w/Temp/_abs_x") + hashSuffix("/abs/x") + ".jpg");
}
