#include "media/Verdict.h"

#include <QHash>

namespace tessaly::media {

namespace {

using P = Playability;

// Containers, by what the file says it is, that no browser plays, or that
// some do not; every other container is judged by its streams.
const QHash<QString, Verdict> &containerVerdicts()
{
    static const QHash<QString, Verdict> table = {
        {QStringLiteral("avi"), {P::DoesNotPlay, QStringLiteral("AVI 格式")}},
        {QStringLiteral("asf"), {P::DoesNotPlay, QStringLiteral("WMV 格式")}},
        {QStringLiteral("flv"), {P::DoesNotPlay, QStringLiteral("FLV 格式")}},
        {QStringLiteral("mpegts"), {P::DoesNotPlay, QStringLiteral("MPEG-TS 格式")}},
        {QStringLiteral("mpeg"), {P::DoesNotPlay, QStringLiteral("MPEG-PS 格式")}},
        {QStringLiteral("rm"), {P::DoesNotPlay, QStringLiteral("RM 格式")}},
        {QStringLiteral("rmvb"), {P::DoesNotPlay, QStringLiteral("RMVB 格式")}},
        {QStringLiteral("3gp"), {P::DoesNotPlay, QStringLiteral("3GP 格式")}},
        {QStringLiteral("mov"), {P::SomeBrowsers, QStringLiteral("MOV 格式")}},
        {QStringLiteral("ogg"), {P::SomeBrowsers, QStringLiteral("Ogg 格式")}},
    };
    return table;
}

// Video codecs no browser decodes, with the name the user knows them by.
const QHash<QString, QString> &unplayableVideo()
{
    static const QHash<QString, QString> table = {
        {QStringLiteral("mpeg4"), QStringLiteral("MPEG-4 Part 2")},
        {QStringLiteral("msmpeg4v1"), QStringLiteral("MPEG-4 Part 2")},
        {QStringLiteral("msmpeg4v2"), QStringLiteral("MPEG-4 Part 2")},
        {QStringLiteral("msmpeg4v3"), QStringLiteral("MPEG-4 Part 2")},
        {QStringLiteral("mpeg1video"), QStringLiteral("MPEG-1")},
        {QStringLiteral("mpeg2video"), QStringLiteral("MPEG-2")},
        {QStringLiteral("vc1"), QStringLiteral("VC-1")},
        {QStringLiteral("wmv1"), QStringLiteral("WMV")},
        {QStringLiteral("wmv2"), QStringLiteral("WMV")},
        {QStringLiteral("wmv3"), QStringLiteral("WMV")},
        {QStringLiteral("rv10"), QStringLiteral("RealVideo")},
        {QStringLiteral("rv20"), QStringLiteral("RealVideo")},
        {QStringLiteral("rv30"), QStringLiteral("RealVideo")},
        {QStringLiteral("rv40"), QStringLiteral("RealVideo")},
        {QStringLiteral("flv1"), QStringLiteral("Sorenson Spark")},
        {QStringLiteral("h263"), QStringLiteral("H.263")},
    };
    return table;
}

// Audio every current browser decodes in the containers that hold it.
bool playableAudio(const QString &codec)
{
    return codec == QLatin1String("aac") || codec == QLatin1String("mp3") || codec == QLatin1String("opus") ||
           codec == QLatin1String("vorbis") || codec == QLatin1String("flac") ||
           codec.startsWith(QLatin1String("pcm_"));
}

QString audioName(const QString &codec)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("ac3"), QStringLiteral("AC-3")},
        {QStringLiteral("eac3"), QStringLiteral("E-AC-3")},
        {QStringLiteral("dts"), QStringLiteral("DTS")},
        {QStringLiteral("truehd"), QStringLiteral("TrueHD")},
        {QStringLiteral("wmav1"), QStringLiteral("WMA")},
        {QStringLiteral("wmav2"), QStringLiteral("WMA")},
        {QStringLiteral("wmapro"), QStringLiteral("WMA")},
        {QStringLiteral("cook"), QStringLiteral("RealAudio")},
        {QStringLiteral("opus"), QStringLiteral("Opus")},
        {QStringLiteral("vorbis"), QStringLiteral("Vorbis")},
        {QStringLiteral("mp2"), QStringLiteral("MP2")},
        {QStringLiteral("alac"), QStringLiteral("ALAC")},
    };
    return names.value(codec, codec.toUpper()) + QStringLiteral(" 音频");
}

bool isWebmVideo(const QString &codec)
{
    return codec == QLatin1String("vp8") || codec == QLatin1String("vp9") || codec == QLatin1String("av1");
}

// The video stream alone, as it would be in an MP4 file.
Verdict videoVerdict(const MediaFacts &facts)
{
    const QString &codec = facts.videoCodec;
    if (unplayableVideo().contains(codec))
        return {P::DoesNotPlay, unplayableVideo().value(codec) + QStringLiteral(" 视频")};
    if (codec == QLatin1String("h264")) {
        if (facts.bitDepth > 8)
            return {P::SomeBrowsers, QStringLiteral("%1 位 H.264 视频").arg(facts.bitDepth)};
        if (facts.chromaWidthShift == 1 && facts.chromaHeightShift == 0)
            return {P::SomeBrowsers, QStringLiteral("H.264 4:2:2 视频")};
        if (facts.bitDepth > 0 && facts.chromaWidthShift == 0)
            return {P::SomeBrowsers, QStringLiteral("H.264 4:4:4 视频")};
        return {P::Plays, {}};
    }
    if (codec == QLatin1String("hevc"))
        return {P::SomeBrowsers, QStringLiteral("HEVC 视频")};
    if (codec == QLatin1String("av1"))
        return {P::SomeBrowsers, QStringLiteral("AV1 视频")};
    if (codec == QLatin1String("vp9") || codec == QLatin1String("vp8"))
        return {P::SomeBrowsers, codec.toUpper() + QStringLiteral(" 视频")};
    return {P::DoesNotPlay, codec.toUpper() + QStringLiteral(" 视频")};
}

Verdict audioOnlyVerdict(const MediaFacts &facts)
{
    const QString codec = facts.audioCodecs.value(0);
    if (facts.family == QLatin1String("asf"))
        return {P::DoesNotPlay, QStringLiteral("WMA 格式")};
    if (facts.family == QLatin1String("ogg"))
        return {P::SomeBrowsers, QStringLiteral("Ogg 音频")};
    if (facts.family == QLatin1String("webm") || facts.family == QLatin1String("mkv"))
        return {P::SomeBrowsers, facts.family.toUpper() + QStringLiteral(" 音频")};
    if (containerVerdicts().contains(facts.family))
        return containerVerdicts().value(facts.family);
    if (codec == QLatin1String("aac") || codec == QLatin1String("mp3") || codec == QLatin1String("flac") ||
        codec.startsWith(QLatin1String("pcm_")))
        return {P::Plays, {}};
    return {P::DoesNotPlay, audioName(codec)};
}

} // namespace

QString Verdict::text() const
{
    switch (playability) {
    case P::Plays:
        return QStringLiteral("可以播放");
    case P::SlowStart:
        return QStringLiteral("开始播放较慢");
    case P::SomeBrowsers:
        return QStringLiteral("部分浏览器无法播放");
    case P::NoSound:
        return QStringLiteral("浏览器中没有声音");
    case P::DoesNotPlay:
        return QStringLiteral("浏览器无法播放");
    case P::Unreadable:
        return QStringLiteral("无法识别的视频文件");
    }
    return {};
}

QString Verdict::word() const
{
    switch (playability) {
    case P::Plays:
    case P::SlowStart:
        return QStringLiteral("ok");
    case P::SomeBrowsers:
        return QStringLiteral("partial");
    case P::NoSound:
        return QStringLiteral("silent");
    case P::DoesNotPlay:
        return QStringLiteral("none");
    case P::Unreadable:
        return QStringLiteral("unknown");
    }
    return {};
}

// The order decides which reason is given: the container first when no
// browser opens it, then video no browser decodes, then sound, then what
// only some browsers take, and last a slow start.
Verdict verdictFor(const MediaFacts &facts)
{
    if (!facts.readable)
        return {P::Unreadable, facts.empty ? QStringLiteral("空文件") : QStringLiteral("无法读取")};
    if (facts.videoCodec.isEmpty()) {
        if (facts.audioCodecs.isEmpty())
            return {P::Unreadable, QStringLiteral("没有视频或音频")};
        return audioOnlyVerdict(facts);
    }
    const Verdict container = containerVerdicts().value(facts.family, {P::Plays, {}});
    if (container.playability == P::DoesNotPlay)
        return container;
    const Verdict video = videoVerdict(facts);
    if (video.playability == P::DoesNotPlay)
        return video;
    for (const QString &audio : facts.audioCodecs) {
        if (!playableAudio(audio))
            return {P::NoSound, audioName(audio)};
    }
    if (container.playability != P::Plays)
        return container;
    const bool mp4 = facts.family == QLatin1String("mp4");
    if (facts.family == QLatin1String("webm") ||
        (facts.family == QLatin1String("mkv") && isWebmVideo(facts.videoCodec)))
        return {P::SomeBrowsers, QStringLiteral("WebM 格式")};
    if (video.playability != P::Plays)
        return video;
    if (!mp4)
        return {P::SomeBrowsers, QStringLiteral("MKV 格式")};
    for (const QString &audio : facts.audioCodecs) {
        if (audio != QLatin1String("aac") && audio != QLatin1String("mp3"))
            return {P::SomeBrowsers, audioName(audio)};
    }
    if (facts.indexAtEnd)
        return {P::SlowStart, QStringLiteral("索引在文件末尾")};
    return {P::Plays, {}};
}

} // namespace tessaly::media
