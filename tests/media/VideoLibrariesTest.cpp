#include "media/VideoLibraries.h"

#include <QThread>
#include <gtest/gtest.h>

using namespace tessaly::media;

TEST(VideoLibraries, LoadFromAWorkerThread)
{
    QString failure = QStringLiteral("not run");
    QThread *worker = QThread::create([&] { failure = loadVideoLibraries(); });
    worker->start();
    worker->wait();
    delete worker;
    EXPECT_EQ(failure, QString());
}
