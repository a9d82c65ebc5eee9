#include "platform/Messages.h"

#include "platform/ConsoleText.h"

namespace tessaly {

namespace {

StandardErrorPresenter &fallbackPresenter()
{
    static StandardErrorPresenter presenter;
    return presenter;
}

MessagePresenter *currentPresenter = nullptr;

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
    return presenter()->present(message);
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
    return path + QStringLiteral("\r\n") + text;
}

MessageAnswer StandardErrorPresenter::present(const Message &message)
{
    writeToConsole(stderr, message.text + u'\n');
    return message.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

} // namespace tessaly
