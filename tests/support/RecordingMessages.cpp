#include "support/RecordingMessages.h"

namespace tessaly::testing {

RecordingMessages::RecordingMessages() : m_previous(Messages::setPresenter(this)) {}

RecordingMessages::~RecordingMessages()
{
    Messages::setPresenter(m_previous);
}

MessageAnswer RecordingMessages::present(const Message &message)
{
    m_messages.append(message);
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return message.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

QStringList RecordingMessages::texts() const
{
    QStringList result;
    for (const Message &message : m_messages)
        result.append(message.text);
    return result;
}

} // namespace tessaly::testing
