#pragma once

#include "media/Verdict.h"

#include <QString>
#include <optional>

namespace tessaly::media {

// What the check of the videos tells of one episode: what browsers make of
// it and how long it lasts. Every face of the check (a run's notes and
// pages, the details pane, `tessaly-cli check`) takes it from the cache of
// probed files (`FactsCache::check`).
struct EpisodeCheck
{
    Verdict verdict;
    std::optional<double> seconds;
};

enum class DurationStyle
{
    Short, // "0:05", "42:10", "1:02:03": hours only when there are any
    Clock, // "0:00:05", "0:42:10", "1:02:03"
};

// A duration to the nearest second; empty for one that is not a finite,
// non-negative number of a million hours at most.
QString durationText(double seconds, DurationStyle style = DurationStyle::Short);
// The same for a duration that may not be known.
QString durationText(const std::optional<double> &seconds, DurationStyle style = DurationStyle::Short);

} // namespace tessaly::media
