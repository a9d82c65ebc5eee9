#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

namespace tessaly {

class ServerProbe;
class Workspace;
struct ProjectContent;

// The first episode a site's pages play, as they name it: the project, its
// folder relative to the movie root and the file name's bytes.
struct FirstEpisode
{
    QString project;
    QString relativeFolder;
    QByteArray fileName;

    bool isEmpty() const { return fileName.isEmpty(); }
    static FirstEpisode of(const ProjectContent &content);
};

// The first episode of the first listed project that has one, read from
// the project settings files and episode folders as a run reads them.
FirstEpisode findFirstEpisode(const Workspace &workspace, const QStringList &projects,
                              const QString &movieRoot);

// Whether the web server really gives what the pages ask for: the first
// episode, from `movie` at the site's root, and its project's cover. The
// site root is the site link up to and including its last "/". An http or
// https link is asked with the probe, five seconds for both addresses in
// all; a `file:` link is checked for the files. A server may map `movie` in
// ways the program cannot see, so a miss is said but not counted an error.
class ServerCheck
{
public:
    explicit ServerCheck(ServerProbe *probe) : m_probe(probe) {}

    // The site root of a link; empty for a link that names no site.
    static QUrl siteRoot(const QString &siteLink);
    // The episode's address as its page names it, then the cover's.
    static QList<QUrl> addresses(const QUrl &root, const FirstEpisode &episode);

    // Nothing when the server gives both, or there is nothing to ask (no
    // link, no episode, a link neither http, https nor `file:`); otherwise
    // "网页服务器无法提供视频: " with the first address missed and why.
    std::optional<QString> failureLine(const QString &siteLink, const FirstEpisode &episode) const;

    // The settings dialog's "测试": the served text, the failure line, or
    // why there is nothing to ask.
    QString testResult(const QString &siteLink, const FirstEpisode &episode) const;

    static QString servedText();
    static QString noEpisodeText();
    static QString failureText(const QUrl &address, const QString &reason);

private:
    ServerProbe *m_probe;
};

} // namespace tessaly
