#include "files/NaturalOrder.h"

#include "files/FileServices.h"
#include "files/FolderCalls.h"
#include "support/TempWorkspace.h"

#include <QFile>
#include <algorithm>
#include <gtest/gtest.h>

using namespace tessaly;
using tessaly::testing::TempWorkspace;

namespace {

struct NameGroup
{
    QStringList names;
    bool alsoTextOrder = false;
};

QList<NameGroup> nameGroups()
{
    QFile file(QStringLiteral(TESSALY_TEST_DATA "/episode-order.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<NameGroup> groups(1);
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.startsWith(u'#'))
            continue;
        if (line.isEmpty()) {
            if (!groups.last().names.isEmpty())
                groups.append(NameGroup{});
        } else if (line == QLatin1String("= also text order")) {
            groups.last().alsoTextOrder = true;
        } else {
            groups.last().names.append(line);
        }
    }
    if (groups.last().names.isEmpty())
        groups.removeLast();
    return groups;
}

// The names in an order no sort is likely to keep by chance.
QStringList shuffled(QStringList names)
{
    std::reverse(names.begin(), names.end());
    if (names.size() > 2)
        std::rotate(names.begin(), names.begin() + names.size() / 2, names.end());
    return names;
}

} // namespace

TEST(NaturalOrder, SortsRealNamesAsAPersonCountsThem)
{
    const QList<NameGroup> groups = nameGroups();
    ASSERT_GT(groups.size(), 10);
    QStringList everything;
    for (const NameGroup &group : groups) {
        QStringList names = shuffled(group.names);
        files::sortNames(names, files::NameOrder::Natural);
        EXPECT_EQ(names, group.names);
        if (group.alsoTextOrder) {
            names = shuffled(group.names);
            files::sortNames(names, files::NameOrder::Text);
            EXPECT_EQ(names, group.names) << "text order differs for " << group.names.first().toStdString();
        }
        for (qsizetype i = 1; i < group.names.size(); ++i) {
            EXPECT_TRUE(files::naturalLess(group.names.at(i - 1), group.names.at(i)))
                << group.names.at(i - 1).toStdString() << " < " << group.names.at(i).toStdString();
            EXPECT_FALSE(files::naturalLess(group.names.at(i), group.names.at(i - 1)));
        }
        everything += group.names;
    }
    // All the groups at once: a comparison that is not a strict order gives
    // a different result from one shuffle to another.
    everything.removeDuplicates();
    QStringList once = everything;
    QStringList again = shuffled(everything);
    files::sortNames(once, files::NameOrder::Natural);
    files::sortNames(again, files::NameOrder::Natural);
    EXPECT_EQ(once, again);

    // Listings compare neighbours without their keys: the same answer.
    for (const QString &first : everything) {
        const QString a = first.toCaseFolded();
        const QList<char32_t> aKey = files::naturalKey(a);
        for (const QString &second : everything) {
            const QString b = second.toCaseFolded();
            const QList<char32_t> bKey = files::naturalKey(b);
            const int byKeys = files::detail::compareNaturalKeys(aKey.constData(), aKey.size(),
                                                                 bKey.constData(), bKey.size());
            EXPECT_EQ(files::detail::compareNatural(a, b), byKeys)
                << first.toStdString() << " ~ " << second.toStdString();
        }
    }
}

TEST(NaturalOrder, ChineseNumeralsCountOnlyBetweenDiAndACountingWord)
{
    EXPECT_EQ(files::chineseNumeralValue(u"十"), "10");
    EXPECT_EQ(files::chineseNumeralValue(u"十二"), "12");
    EXPECT_EQ(files::chineseNumeralValue(u"二十"), "20");
    EXPECT_EQ(files::chineseNumeralValue(u"一百零一"), "101");
    EXPECT_EQ(files::chineseNumeralValue(u"两"), "2");
    EXPECT_EQ(files::chineseNumeralValue(u"一〇一"), "101");
    EXPECT_EQ(files::chineseNumeralValue(u"零"), "0");

    // Plain text where the numerals do not stand as a count: today's order.
    for (const auto &[first, second] :
         {std::pair{u"十面埋伏", u"三国演义"}, {u"第十个", u"第二个"}, {u"二十集", u"十集"}}) {
        EXPECT_EQ(files::naturalLess(QString::fromUtf16(first), QString::fromUtf16(second)),
                  files::nameLess(QString::fromUtf16(first), QString::fromUtf16(second)));
    }
    EXPECT_TRUE(files::naturalLess(QStringLiteral("第二集"), QStringLiteral("第十集")));
}

TEST(NaturalOrder, ListingsTakeTheOrderAskedFor)
{
    TempWorkspace ws;
    for (const char *name : {"第10集.mp4", "第2集.mp4", "第1集.mp4"})
        ws.writeBytes(QStringLiteral("m/") + QString::fromUtf8(name), "x");
    const QString folder = ws.path(QStringLiteral("m"));
    EXPECT_EQ(files::listFiles(folder, files::NameOrder::Natural).entries,
              (QStringList{QStringLiteral("第1集.mp4"), QStringLiteral("第2集.mp4"),
                           QStringLiteral("第10集.mp4")}));
    EXPECT_EQ(files::listFiles(folder).entries,
              (QStringList{QStringLiteral("第10集.mp4"), QStringLiteral("第1集.mp4"),
                           QStringLiteral("第2集.mp4")}));
}
