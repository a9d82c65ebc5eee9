#pragma once

#include <QString>

namespace tessaly {

enum class MessageIcon
{
    None,
    Information,
    Error,
    Question
};
enum class MessageButtons
{
    Ok,
    YesNo
};
enum class MessageAnswer
{
    Ok,
    Yes,
    No
};

struct Message
{
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// Whatever shows a message box and waits for the answer: the window's
// QMessageBox, the command line's standard error, or a test's recorder.
class MessagePresenter
{
public:
    virtual ~MessagePresenter() = default;
    virtual MessageAnswer present(const Message &message) = 0;
};

// The one way the program talks to its user in a box. Logic calls these;
// which presenter answers is decided once by the main, or by a test.
class Messages
{
public:
    static constexpr const char *Title = "提示";

    static MessageAnswer error(const QString &text);
    static MessageAnswer information(const QString &text);
    static MessageAnswer question(const QString &text);
    // Only on the application's thread. A call from another thread shows
    // nothing, answers Ok or No, and is counted.
    static MessageAnswer show(const Message &message);
    static int offThreadCallCount();

    // Returns the presenter it replaces so a caller can restore it.
    static MessagePresenter *setPresenter(MessagePresenter *presenter);
    static MessagePresenter *presenter();

    // "<path>\r\n<text>": how every message that names a path reads.
    static QString withPath(const QString &path, const QString &text);
};

// Prints each text to standard error and answers at once (Yes to questions),
// so a scheduled command never waits for anyone.
class StandardErrorPresenter : public MessagePresenter
{
public:
    MessageAnswer present(const Message &message) override;
};

} // namespace tessaly
