#pragma once

#include "platform/Clipboard.h"

namespace tessaly {

class QtClipboard : public Clipboard
{
public:
    void setText(const QString &text) override;
};

} // namespace tessaly
