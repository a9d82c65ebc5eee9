#include "site/ProgressLineModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace tessaly;

TEST(ProgressLineModel, ABatchIsOneInsertionOfTheLinesAPersonSees)
{
    ProgressLineModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
    QSignalSpy inserted{&model, &QAbstractItemModel::rowsInserted};

    model.append({{QStringLiteral("甲"), ProgressIcon::Done},
                  {QStringLiteral("names for the log"), ProgressIcon::Step, true},
                  {QStringLiteral("乙"), ProgressIcon::Failure}});
    model.append({{QStringLiteral("only for the log"), ProgressIcon::Step, true}});
    model.append({{QStringLiteral("丙"), ProgressIcon::Opening}});

    ASSERT_EQ(inserted.size(), 2);
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 0);
    EXPECT_EQ(inserted.at(0).at(2).toInt(), 1);
    EXPECT_EQ(inserted.at(1).at(1).toInt(), 2);
    EXPECT_EQ(inserted.at(1).at(2).toInt(), 2);
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.index(0).data().toString(), QStringLiteral("甲"));
    EXPECT_EQ(model.index(1).data().toString(), QStringLiteral("乙"));
    EXPECT_EQ(model.index(2).data().toString(), QStringLiteral("丙"));
    EXPECT_EQ(model.index(1).data(ProgressLineModel::IconRole).toInt(), int(ProgressIcon::Failure));
    EXPECT_EQ(model.index(2).data(ProgressLineModel::IconRole).toInt(), int(ProgressIcon::Opening));

    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
}
