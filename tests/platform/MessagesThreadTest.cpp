#include "platform/Messages.h"

#include <QThread>
#include <gtest/gtest.h>
#include <memory>

using namespace tessaly;

namespace {

class CountingPresenter : public MessagePresenter
{
public:
    MessageAnswer present(const Message &) override
    {
        ++shown;
        return MessageAnswer::Yes;
    }
    int shown = 0;
};

} // namespace

TEST(Messages, ABoxAskedForOffTheApplicationsThreadIsRefusedAndCounted)
{
    CountingPresenter presenter;
    MessagePresenter *previous = Messages::setPresenter(&presenter);
    const int before = Messages::offThreadCallCount();
    MessageAnswer errorAnswer = MessageAnswer::Yes;
    MessageAnswer questionAnswer = MessageAnswer::Yes;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        errorAnswer = Messages::error(QStringLiteral("from a worker"));
        questionAnswer = Messages::question(QStringLiteral("from a worker?"));
    }));
    worker->start();
    worker->wait();

    EXPECT_EQ(presenter.shown, 0);
    EXPECT_EQ(Messages::offThreadCallCount(), before + 2);
    EXPECT_EQ(errorAnswer, MessageAnswer::Ok);
    EXPECT_EQ(questionAnswer, MessageAnswer::No); // never a yes nobody gave

    Messages::information(QStringLiteral("on the application's thread"));
    EXPECT_EQ(presenter.shown, 1);
    Messages::setPresenter(previous);
}
