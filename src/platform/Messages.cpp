#include "platform/Messages.h"

#include "platform/ConsoleText.h"
#include "platform/PathText.h"

#include <QCoreApplication>
#include <QThread>
#include <atomic>

namespace tessaly {

namespace {

StandardErrorPresenter &fallbackPresenter()
{
    static StandardErrorPresenter presenter;
    return presenter;
}

MessagePresenter *currentPresenter = nullptr;
std::atomic<int> offThreadCalls{0};

// Boxes belong to the thread that runs the application's event loop; before
// there is an application, the one thread there is.
bool onApplicationThread()
{
    const QCoreApplication *application = QCoreApplication::instance();
    return !application || QThread::currentThread() == application->thread();
}

} // namespace

MessageAnswer Messages::error(const QString &text)
{
    return show({QString::fromUtf8(Title), text, MessageIcon::Error, MessageButtons::Ok});
}

MessageAnswer Messages::information(const QString &text)
{
    return show({QString::fromUtf8(Title), text, MessageIcon::Information, MessageButtons::Ok});
}

MessageAnswer Messages::question(const QString &text)
{
    return show({QString::fromUtf8(Title), text, MessageIcon::Question, MessageButtons::YesNo});
}

MessageAnswer Messages::show(const Message &message)
{
    if (!onApplicationThread()) {
        // A worker must hand its outcome back instead. Showing a box from
        // here would touch widgets off their thread, so the message is
        // refused, counted and named, in release builds too.
        ++offThreadCalls;
        qCritical("Messages::show called off the application's thread: %s", qUtf8Printable(message.text));
        return message.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
    return presenter()->present(message);
}

int Messages::offThreadCallCount()
{
    return offThreadCalls.load();
}

MessagePresenter *Messages::setPresenter(MessagePresenter *presenter)
{
    MessagePresenter *previous = currentPresenter;
    currentPresenter = presenter;
    return previous;
}

MessagePresenter *Messages::presenter()
{
    return currentPresenter ? currentPresenter : &fallbackPresenter();
}

QString Messages::withPath(const QString &path, const QString &text)
{
    return tessaly::withPath(path, text);
}

MessageAnswer StandardErrorPresenter::present(const Message &message)
{
    writeToConsole(stderr, message.text + u'\n');
    return message.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

} // namespace tessaly
