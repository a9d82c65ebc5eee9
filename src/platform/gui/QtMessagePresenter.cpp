#include "platform/gui/QtMessagePresenter.h"

#include <QApplication>
#include <QMessageBox>

namespace tessaly {

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

MessageAnswer QtMessagePresenter::present(const Message &message)
{
    const bool yesNo = message.buttons == MessageButtons::YesNo;
    QMessageBox box(boxIcon(message.icon), message.title, message.text,
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setDefaultButton(yesNo ? QMessageBox::Yes : QMessageBox::Ok);
    // Messages quote paths and links, which may hold anything: never markup,
    // whose links the box would open on a click.
    box.setTextFormat(Qt::PlainText);
    const int answer = box.exec();
    if (!yesNo)
        return MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

} // namespace tessaly
