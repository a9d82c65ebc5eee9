#include "support/RecordingDesktop.h"

namespace tessaly::testing {

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
