#pragma once

#include "platform/Desktop.h"

#include <QStringList>

namespace tessaly::testing {

// Records every folder and link handed to the desktop, opens nothing.
// Installs itself for its lifetime.
class RecordingDesktop : public Desktop
{
public:
    RecordingDesktop();
    ~RecordingDesktop() override;

    bool openFolder(const QString &path) override;
    bool openUrl(const QString &url) override;

    const QStringList &folders() const { return m_folders; }
    const QStringList &urls() const { return m_urls; }
    bool isEmpty() const { return m_folders.isEmpty() && m_urls.isEmpty(); }

private:
    QStringList m_folders;
    QStringList m_urls;
    Desktop *m_previous = nullptr;
};

} // namespace tessaly::testing
