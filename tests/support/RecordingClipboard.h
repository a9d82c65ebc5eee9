#pragma once

#include "platform/Clipboard.h"

#include <QStringList>

namespace tessaly::testing {

// Keeps what the program put on the clipboard.
class RecordingClipboard : public Clipboard
{
public:
    void setText(const QString &text) override { m_texts.append(text); }
    const QStringList &texts() const { return m_texts; }

private:
    QStringList m_texts;
};

} // namespace tessaly::testing
