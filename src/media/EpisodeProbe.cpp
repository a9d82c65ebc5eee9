#include "media/EpisodeProbe.h"

#include "media/VideoInput.h"
#include "media/VideoLibraries.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <sys/stat.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/pixdesc.h>
}

namespace tessaly::media {

namespace {

using Clock = std::chrono::steady_clock;

// Top-level boxes looked at before giving up on finding the index: a file
// of a few boxes has both within the first handful.
constexpr int MostTopLevelBoxes = 64;

// Whether the first of `moov` and `mdat` among the top-level boxes is
// `mdat`: a browser then has to fetch the end of the file before it plays.
bool indexAfterMedia(VideoInput &input)
{
    int64_t offset = 0;
    for (int box = 0; box < MostTopLevelBoxes; ++box) {
        const QByteArray head = input.readAt(offset, 16);
        if (head.size() < 8)
            return false;
        const auto *bytes = reinterpret_cast<const uchar *>(head.constData());
        uint64_t size = qFromBigEndian<quint32>(bytes);
        const QByteArray type = head.mid(4, 4);
        if (type == "moov")
            return false;
        if (type == "mdat")
            return true;
        if (size == 1) {
            if (head.size() < 16)
                return false;
            size = qFromBigEndian<quint64>(bytes + 8);
        }
        if (size < 8)
            return false; // to the end of the file, or damaged
        offset += int64_t(size);
    }
    return false;
}

QString familyOf(const AVFormatContext *format, const QString &suffix)
{
    const QString name = QString::fromLatin1(format->iformat->name);
    if (name.startsWith(QLatin1String("mov,"))) {
        const AVDictionaryEntry *brand = av_dict_get(format->metadata, "major_brand", nullptr, 0);
        const QByteArray major = brand ? QByteArray(brand->value).trimmed() : QByteArray();
        if (major == "qt")
            return QStringLiteral("mov");
        if (major.startsWith("3g"))
            return QStringLiteral("3gp");
        if (major.isEmpty() && (suffix == QLatin1String("mov") || suffix == QLatin1String("qt")))
            return QStringLiteral("mov");
        return QStringLiteral("mp4");
    }
    if (name.startsWith(QLatin1String("matroska")))
        return suffix == QLatin1String("webm") ? QStringLiteral("webm") : QStringLiteral("mkv");
    if (name == QLatin1String("rm"))
        return suffix == QLatin1String("rmvb") ? QStringLiteral("rmvb") : QStringLiteral("rm");
    return name.section(QLatin1Char(','), 0, 0);
}

void readVideo(MediaFacts &facts, const AVStream *stream)
{
    const AVCodecParameters *parameters = stream->codecpar;
    facts.videoCodec = QString::fromLatin1(avcodec_get_name(parameters->codec_id));
    if (const char *profile = avcodec_profile_name(parameters->codec_id, parameters->profile))
        facts.videoProfile = QString::fromLatin1(profile);
    facts.width = parameters->width;
    facts.height = parameters->height;
    facts.interlaced =
        parameters->field_order != AV_FIELD_UNKNOWN && parameters->field_order != AV_FIELD_PROGRESSIVE;
    if (const AVPixFmtDescriptor *pixels = av_pix_fmt_desc_get(AVPixelFormat(parameters->format))) {
        facts.bitDepth = pixels->comp[0].depth;
        facts.chromaWidthShift = pixels->log2_chroma_w;
        facts.chromaHeightShift = pixels->log2_chroma_h;
    }
}

} // namespace

MediaFacts probeEpisode(const QString &path, const ProbeLimits &limits)
{
    return probeEpisode(QFile::encodeName(path), limits);
}

MediaFacts probeEpisode(const QByteArray &path, const ProbeLimits &limits)
{
    MediaFacts facts;
    if (!loadVideoLibraries().isEmpty() || !silenceVideoLibraries())
        return facts;
    struct stat status;
    facts.empty = ::stat(path.constData(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size == 0;
    const auto deadline = Clock::now() + limits.timeLimit;
    VideoInput input([deadline] { return Clock::now() >= deadline; });
    InputBudget budget;
    budget.openingBytes = limits.readBytes;
    budget.probeBytes = std::min<int64_t>(budget.probeBytes, limits.readBytes);
    if (input.open(path, budget) != VideoInput::Status::Open)
        return facts;
    // The name lends only its extension.
    return factsOf(input, QFile::decodeName(path));
}

MediaFacts factsOf(VideoInput &input, const QString &fileName)
{
    MediaFacts facts;
    const AVFormatContext *format = input.format();
    if (!format)
        return facts;
    facts.readable = true;
    facts.container = QString::fromLatin1(format->iformat->name).section(QLatin1Char(','), 0, 0);
    facts.family = familyOf(format, QFileInfo(fileName).suffix().toLower());
    if (format->duration != AV_NOPTS_VALUE && format->duration > 0)
        facts.seconds = double(format->duration) / AV_TIME_BASE;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream *stream = format->streams[i];
        switch (stream->codecpar->codec_type) {
        case AVMEDIA_TYPE_VIDEO:
            // Cover art of a sound file or a film is a picture, not video.
            if (!(stream->disposition & AV_DISPOSITION_ATTACHED_PIC) && facts.videoCodec.isEmpty())
                readVideo(facts, stream);
            break;
        case AVMEDIA_TYPE_AUDIO:
            facts.audioCodecs.append(QString::fromLatin1(avcodec_get_name(stream->codecpar->codec_id)));
            break;
        default:
            break;
        }
    }
    if (facts.container == QLatin1String("mov"))
        facts.indexAtEnd = indexAfterMedia(input);
    return facts;
}

} // namespace tessaly::media
