#pragma once

#include "platform/Messages.h"

namespace tessaly {

// Shows each message as a modal QMessageBox over the active window.
class QtMessagePresenter : public MessagePresenter
{
public:
    MessageAnswer present(const Message &message) override;
};

} // namespace tessaly
