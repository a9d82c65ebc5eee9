#include "support/RecordingMessages.h"

#include <gtest/gtest.h>

namespace tessaly::testing {

RecordingMessages::RecordingMessages()
    : m_previous(Messages::setPresenter(this)), m_offThreadCallsBefore(Messages::offThreadCallCount())
{}

RecordingMessages::~RecordingMessages()
{
    Messages::setPresenter(m_previous);
    // Every test that watches the boxes also checks that none was asked for
    // from a worker thread.
    EXPECT_EQ(Messages::offThreadCallCount(), m_offThreadCallsBefore)
        << "a message box was asked for off the window's thread";
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
