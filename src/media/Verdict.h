#pragma once

#include "media/EpisodeProbe.h"

#include <QString>

namespace tessaly::media {

// What browsers make of an episode, worst last but one: a file that cannot
// be read is not a judgement of the browsers.
enum class Playability
{
    Plays,
    SlowStart,    // plays, but only once the end of the file has arrived
    SomeBrowsers, // some current browsers refuse it
    NoSound,      // the picture plays, the sound does not
    DoesNotPlay,
    Unreadable,
};

struct Verdict
{
    Playability playability = Playability::Unreadable;
    // What decides it, short: "HEVC 视频", "AC-3 音频", "AVI 格式".
    QString reason;

    // "可以播放", "部分浏览器无法播放", …
    QString text() const;
    // One word for pages and tools: "ok", "partial", "silent", "none" or
    // "unknown". A slow start plays, so it is "ok".
    QString word() const;
    // Worth a line in a run: everything but "可以播放".
    bool noted() const { return playability != Playability::Plays; }

    bool operator==(const Verdict &) const = default;
};

Verdict verdictFor(const MediaFacts &facts);

} // namespace tessaly::media
