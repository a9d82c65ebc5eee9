#pragma once

#include <QString>

namespace tessaly {

// The desktop's file manager and its open action (browser for links). The
// window's commands are handed Qt's implementation; tests hand in a recorder.
class Desktop
{
public:
    virtual ~Desktop() = default;
    // Shows the folder in the file manager.
    virtual bool openFolder(const QString &path) = 0;
    // Hands the link to the desktop's open action (the browser for http).
    virtual bool openUrl(const QString &url) = 0;

    // The same, saying with its path when nothing could open it (no file
    // manager, no browser), so that a click never goes unanswered.
    bool openFolderOrSay(const QString &path);
    bool openUrlOrSay(const QString &url);
};

} // namespace tessaly
