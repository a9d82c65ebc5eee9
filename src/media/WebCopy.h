#pragma once

#include "media/EpisodeProbe.h"

#include <QList>
#include <QSize>
#include <QString>
#include <functional>

namespace tessaly::files {
class OpenFolder;
}

namespace tessaly::media {

// How an episode that browsers cannot play becomes an MP4 file they do.
enum class WebCopyKind
{
    NotNeeded,  // browsers play it as it is
    StreamCopy, // the streams as they are, in MP4 with the index in front
    NewSound,   // the picture as it is, the sound made AAC
    Everything, // picture made H.264, sound made AAC
    Impossible, // nothing in the file can be read
};

struct WebCopyPlan
{
    WebCopyKind kind = WebCopyKind::Impossible;
    // Rough guesses for the user before a run: the copy's size, and the
    // time making it takes on a small machine.
    qint64 estimatedBytes = 0;
    double estimatedSeconds = 0;
};

// What the probe's facts call for; `sourceBytes` is the episode's size.
WebCopyPlan planWebCopy(const MediaFacts &facts, qint64 sourceBytes);

// The plans of a run, counted for the user.
struct WebCopySummary
{
    int streamCopies = 0;
    int newSound = 0;
    int everything = 0;
    qint64 estimatedBytes = 0;
    double estimatedMinutes = 0;

    void add(const WebCopyPlan &plan);
    int copies() const { return streamCopies + newSound + everything; }
    // "2 个直接转存, 1 个转换音频, 1 个重新编码 (约 1.2 GB, 约 35 分钟)".
    QString text() const;
};

// The picture size of a copy of a picture of this size, as shown (turned
// already): kept, but brought within 1920 × 1080 (1080 × 1920 when it
// stands) keeping its shape, and made even.
QSize webCopyPictureSize(QSize shown);

struct WebCopyOutcome
{
    enum class Status
    {
        Made,
        Stopped,
        Failed,
    };
    Status status = Status::Failed;
    WebCopyKind kind = WebCopyKind::Impossible;
    // The file the reason is about: the episode, or the copy.
    QString path;
    QString reason;

    bool made() const { return status == Status::Made; }
    // "<path>: <reason>", for a run's line.
    QString message() const;
};

// Makes the browser-playable copy of the episode at `source` in the open
// folder under `fileName` (a plain name), replacing what the name holds.
// The episode is opened only through the single-file opening; the copy is
// written under a temporary name in the folder, checked to play, synced
// and only then renamed into place, so the name holds the whole copy or
// what it held before. A stop or a failure removes what was written.
// What is made anew follows `planWebCopy` of the facts of the file as it is
// opened (an episode that needs no copy gets a stream copy), except that
// AVI video with B-frames is encoded anew, AVI keeping no times of showing.
// `stopped` is asked often, from this thread; `progress` gets the share
// 0–1 of the episode's duration done.
WebCopyOutcome makeWebCopy(const QString &source, const files::OpenFolder &folder, const QString &fileName,
                           const std::function<bool()> &stopped = {},
                           const std::function<void(double)> &progress = {});

// True when the copy at `copy` was made from the episode at `original` as
// it is now: its size and modification time, recorded in the copy's
// header, are the episode's. Reads the copy's header alone.
bool isUpToDate(const QString &copy, const QString &original);

// Empty when the folder's file system has room for `bytes` more;
// otherwise why not, with the folder's path ("…: 磁盘空间不足 …").
QString spaceShortage(const files::OpenFolder &folder, qint64 bytes);

} // namespace tessaly::media
