#include "media/EpisodeCheck.h"

#include <cmath>
#include <cstdio>

namespace tessaly::media {

QString durationText(double seconds, DurationStyle style)
{
    // A damaged file may claim any duration; past a million hours it is none.
    if (!std::isfinite(seconds) || seconds < 0 || seconds > 3.6e9)
        return {};
    // Written by hand: a run writes one for every episode.
    const long long whole = std::llround(seconds);
    const long long hours = whole / 3600;
    char text[32];
    const int length =
        hours > 0 || style == DurationStyle::Clock
            ? std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", hours, whole / 60 % 60, whole % 60)
            : std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return QString::fromLatin1(text, length);
}

QString durationText(const std::optional<double> &seconds, DurationStyle style)
{
    return seconds ? durationText(*seconds, style) : QString();
}

} // namespace tessaly::media
