#include "settings/MovieLink.h"

#include "support/TempWorkspace.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace tessaly;
using namespace tessaly::testing;

TEST(MovieLink, IsRefusedInsideTheMovieRootAndWhereAMovieLeadsElsewhere)
{
    TempWorkspace files;
    const QString movies = files.makeFolder(QStringLiteral("movies"));
    const QString inner = files.makeFolder(QStringLiteral("movies/site"));
    const auto insideRoot = settings::makeMovieLink(inner, movies);
    ASSERT_FALSE(insideRoot);
    EXPECT_EQ(insideRoot.failure().text(),
              QStringLiteral("站点文件夹位于影片文件路径之内,无法创建 movie 链接"));
    EXPECT_FALSE(QFileInfo::exists(inner + QStringLiteral("/movie")));

    const QString site = files.makeFolder(QStringLiteral("site"));
    const QString other = files.makeFolder(QStringLiteral("other"));
    ASSERT_TRUE(QFile::link(other, site + QStringLiteral("/movie")));
    const auto elsewhere = settings::makeMovieLink(site, movies);
    ASSERT_FALSE(elsewhere);
    EXPECT_EQ(elsewhere.failure().text(), QStringLiteral("站点的 movie 不是影片文件路径: ") + other);
    EXPECT_EQ(QFileInfo(site + QStringLiteral("/movie")).symLinkTarget(), other);

    // A site folder that cannot take the link says where and why.
    const QString locked = files.makeFolder(QStringLiteral("locked"));
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (::geteuid() != 0) {
        const auto unwritable = settings::makeMovieLink(locked, movies);
        ASSERT_FALSE(unwritable);
        EXPECT_EQ(unwritable.failure().path, locked + QStringLiteral("/movie"));
        EXPECT_FALSE(unwritable.failure().reason.isEmpty());
    }
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(MovieLink, IsMadeOnceAndALinkToTheMovieRootIsLeftAsItIs)
{
    TempWorkspace files;
    const QString movies = files.makeFolder(QStringLiteral("movies"));
    const QString site = files.makeFolder(QStringLiteral("site"));
    const auto made = settings::makeMovieLink(site, movies);
    ASSERT_TRUE(made);
    EXPECT_TRUE(*made);
    EXPECT_EQ(QFileInfo(site + QStringLiteral("/movie")).symLinkTarget(), movies);

    const auto again = settings::makeMovieLink(site, movies);
    ASSERT_TRUE(again);
    EXPECT_FALSE(*again) << "nothing new to say";
}
