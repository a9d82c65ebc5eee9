#pragma once

#include "files/NaturalOrder.h"
#include "files/Outcome.h"
#include "media/FactsCache.h"
#include "media/WebCopy.h"
#include "site/RunLog.h"
#include "site/RunReport.h"
#include "site/WebCopyPlaces.h"
#include "workspace/Workspace.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <optional>

namespace tessaly {

class ProgressSink;

// "转换为网页格式": copies that browsers play, in the site folder's `Video`
// (see `WebCopyPlace`), of the episodes browsers may not play as they are,
// each entered in publishing's record before it is put in place. The
// user's movie folders are only ever read.
//
// Prepared on the session's thread, planned and run on any thread with
// copies of what it reads. It says nothing to the user itself: `prepare`
// and `mayStart` return what to say, and `run` its closing box.
class WebCopyConversion
{
public:
    // Which episodes: every project's when `project` is empty, otherwise
    // those of the first row of that name; only `episode` (a file name of
    // the project's episodes) when it is given.
    struct Choice
    {
        QString project;
        QString episode;
    };

    // Reads the settings and refuses, with why, when there is no project
    // (or none of the name), no site folder, when it is missing, or when it
    // lies among the films.
    static files::Outcome<WebCopyConversion> prepare(const Workspace &workspace, const QStringList &projects,
                                                     Choice choice);

    void setClock(RunClock clock) { m_clock = std::move(clock); }

    // Probes the chosen episodes (the workspace's cache of probed files
    // spares most of it) and takes those whose verdict is not "可以播放" and
    // that have no up-to-date copy. Set from another thread, `stop` ends
    // it early.
    void plan(const std::atomic<bool> *stop = nullptr);

    // The copies planned, counted, with their estimates.
    const media::WebCopySummary &summary() const { return m_summary; }
    // "将转换 N 集:复制 a 集,…。是否开始?"
    QString question() const;

    enum class Start
    {
        Go,
        NothingToDo, // said as information
        Refused,     // not room enough for the copies, said with the figures
    };
    struct Readiness
    {
        Start start = Start::Go;
        // What the box says when the run does not begin.
        std::optional<Message> box;
    };
    // After `plan`: whether the run may begin, and why not.
    Readiness mayStart() const;

    // Makes the copies one after another: a line for each episode, a
    // failure line (episode, path, reason) for each that fails while the
    // rest go on, the progress as the share of the episodes' whole
    // duration done, and the run log. Set from another thread, `stop` ends
    // the copy being made at once and removes what it wrote; copies made
    // before stay. The outcome carries the closing box, information unless
    // the run had errors.
    RunOutcome run(ProgressSink &sink, const std::atomic<bool> *stop = nullptr) const;

private:
    struct Item
    {
        QString project;
        QString episode;
        QString episodeFolder;
        std::optional<WebCopyPlace> place;
        QString placeReason; // why there is no place
        media::WebCopyPlan plan;
        double weight = 1; // the share of the run's progress: the duration
    };
    // What a single episode turned out to need, for the words of a run
    // that has nothing to do.
    enum class Single
    {
        Unknown,
        Plays,
        UpToDate,
    };

    WebCopyConversion(Workspace workspace, QStringList projects, Choice choice);
    void planProject(const QString &project, const QString &episodeFolder, const QStringList &episodes,
                     media::FactsCache &cache, const std::atomic<bool> *stop);
    enum class Made
    {
        Yes,
        Failed, // said
        Stopped,
    };
    // One copy, entered in the site's record (`entries`) first.
    Made convert(const Item &item, const files::OpenFolder &site, const files::OpenFolder &video,
                 QSet<QByteArray> &entries, RunReport &report, const std::function<bool()> &stopped,
                 const std::function<void(double)> &progress) const;

    Workspace m_workspace;
    QStringList m_projects;
    Choice m_choice;
    QString m_siteFolder;
    QString m_movieRoot;
    files::NameOrder m_order = files::NameOrder::Natural;
    RunClock m_clock;

    QList<Item> m_items;
    QStringList m_problems; // failure lines found while planning
    media::WebCopySummary m_summary;
    Single m_single = Single::Unknown;
};

} // namespace tessaly
