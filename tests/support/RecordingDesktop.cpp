#include "support/RecordingDesktop.h"

namespace tessaly::testing {

RecordingDesktop::RecordingDesktop() : m_previous(Desktop::setInstance(this)) {}

RecordingDesktop::~RecordingDesktop()
{
    Desktop::setInstance(m_previous);
}

bool RecordingDesktop::openFolder(const QString &path)
{
    m_folders.append(path);
    return !m_refusing;
}

bool RecordingDesktop::openUrl(const QString &url)
{
    m_urls.append(url);
    return !m_refusing;
}

} // namespace tessaly::testing
