#include "media/EpisodeCheck.h"

#include "media/FactsCache.h"

#include <cmath>

namespace tessaly::media {

EpisodeCheck checkEpisode(FactsCache &cache, const QString &path)
{
    const MediaFacts facts = cache.facts(path);
    return {verdictFor(facts), facts.seconds};
}

QString durationText(double seconds, DurationStyle style)
{
    if (!std::isfinite(seconds) || seconds < 0)
        return {};
    const qint64 whole = qint64(std::llround(seconds));
    const qint64 hours = whole / 3600;
    const QLatin1Char zero('0');
    if (hours == 0 && style == DurationStyle::Short)
        return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, zero);
    return QStringLiteral("%1:%2:%3")
        .arg(hours)
        .arg(whole / 60 % 60, 2, 10, zero)
        .arg(whole % 60, 2, 10, zero);
}

QString durationText(const std::optional<double> &seconds, DurationStyle style)
{
    return seconds ? durationText(*seconds, style) : QString();
}

} // namespace tessaly::media
