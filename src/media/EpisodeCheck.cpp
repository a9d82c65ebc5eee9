#include "media/EpisodeCheck.h"

#include <charconv>
#include <cmath>

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
    char *end = text;
    const auto twoDigits = [&end](long long value) {
        *end++ = char('0' + value / 10);
        *end++ = char('0' + value % 10);
    };
    if (hours > 0 || style == DurationStyle::Clock) {
        end = std::to_chars(end, text + sizeof text, hours).ptr;
        *end++ = ':';
        twoDigits(whole / 60 % 60);
    } else {
        end = std::to_chars(end, text + sizeof text, whole / 60).ptr;
    }
    *end++ = ':';
    twoDigits(whole % 60);
    const int length = int(end - text);
    return QString::fromLatin1(text, length);
}

QString durationText(const std::optional<double> &seconds, DurationStyle style)
{
    return seconds ? durationText(*seconds, style) : QString();
}

} // namespace tessaly::media
