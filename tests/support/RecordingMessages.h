#pragma once

#include "platform/Messages.h"

#include <QList>
#include <QStringList>

namespace tessaly::testing {

// Records every message box and answers with preset buttons (Ok, or Yes to
// questions, when nothing is preset). Installs itself for its lifetime.
class RecordingMessages : public MessagePresenter
{
public:
    RecordingMessages();
    ~RecordingMessages() override;

    MessageAnswer present(const Message &message) override;
    void setNextAnswer(MessageAnswer answer) { m_answers.append(answer); }

    const QList<Message> &messages() const { return m_messages; }
    QStringList texts() const;
    bool isEmpty() const { return m_messages.isEmpty(); }
    const Message &last() const { return m_messages.last(); }
    void clear() { m_messages.clear(); }

private:
    QList<Message> m_messages;
    QList<MessageAnswer> m_answers;
    MessagePresenter *m_previous = nullptr;
    int m_offThreadCallsBefore = 0;
};

} // namespace tessaly::testing
