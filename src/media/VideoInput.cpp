#include "media/VideoInput.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
}

namespace tessaly::media {

namespace {

constexpr int IoBufferSize = 32768;

// Demuxers that read the one file they are given and nothing beside it:
// the containers of films and series, bare camera streams, and the sound
// files an episode folder may hold. Playlists, concatenations and image
// sequences are not among them.
constexpr const char *SingleFileDemuxers[] = {
    "mov", "matroska", "avi",  "asf", "flv", "mpegts", "mpeg", "rm", "ogg", "h264", "hevc",
    "mp3", "aac",      "flac", "wav", "w64", "aiff",   "ape",  "wv", "ac3", "eac3", "dts",
};

QList<QByteArray> namesOf(const AVInputFormat *format)
{
    return QByteArray(format->name).split(',');
}

bool readsOneFile(const AVInputFormat *format)
{
    const QList<QByteArray> names = namesOf(format);
    return std::any_of(std::begin(SingleFileDemuxers), std::end(SingleFileDemuxers),
                       [&](const char *allowed) { return names.contains(allowed); });
}

QByteArray singleFileDemuxerList()
{
    QList<QByteArray> names;
    for (const char *name : SingleFileDemuxers)
        names.append(name);
    // The whitelist is matched against every name of a demuxer.
    names.append({"mp4", "m4a", "3gp", "3g2", "mj2", "webm"});
    return names.join(',');
}

// Demuxers that read single pictures: an episode folder's posters are not
// its videos.
bool readsStillPictures(const AVInputFormat *format)
{
    const QByteArray name(format->name);
    return name == "image2" || name.endsWith("_pipe");
}

// Any file, address or protocol a demuxer would open beside the video.
int refuseOpen(AVFormatContext *, AVIOContext **, const char *, int, AVDictionary **)
{
    return AVERROR(EPERM);
}

} // namespace

VideoInput::VideoInput(std::function<bool()> stopped) : m_stopped(std::move(stopped)) {}

VideoInput::~VideoInput()
{
    close();
}

void VideoInput::close()
{
    avformat_close_input(&m_format);
    if (m_io) {
        av_freep(&m_io->buffer);
        avio_context_free(&m_io);
    }
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
}

VideoInput::Status VideoInput::open(const QString &path, const InputBudget &budget)
{
    return open(QFile::encodeName(path), budget);
}

VideoInput::Status VideoInput::open(const QByteArray &path, const InputBudget &budget)
{
    // Opened once and never by name again: a link swapped for a pipe
    // between a check and a second opening would block the reader for
    // ever. Not blocking while opening, so a pipe cannot hold up even this.
    const int descriptor = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    return open(descriptor, QFile::decodeName(path), budget);
}

VideoInput::Status VideoInput::open(int descriptor, const QString &fileName, const InputBudget &budget)
{
    close();
    const QByteArray name = QFile::encodeName(fileName);
    m_descriptor = descriptor;
    if (m_descriptor < 0)
        return Status::NotAVideo;
    struct stat status;
    if (::fstat(m_descriptor, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size == 0)
        return Status::NotAVideo;
    const int flags = ::fcntl(m_descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(m_descriptor, F_SETFL, flags & ~O_NONBLOCK) < 0)
        return Status::NotAVideo;

    auto *buffer = static_cast<unsigned char *>(av_malloc(IoBufferSize));
    if (!buffer)
        return Status::NotAVideo;
    m_io = avio_alloc_context(buffer, IoBufferSize, 0, this, &VideoInput::readPacket, nullptr,
                              &VideoInput::seek);
    if (!m_io) {
        av_free(buffer);
        return Status::NotAVideo;
    }
    m_position = 0;
    m_bytesRead = 0;
    m_allowance = budget.openingBytes;
    const auto failed = [this] { return m_stopped && m_stopped() ? Status::Stopped : Status::NotAVideo; };

    // The path only lends its extension to the guess; it is never opened.
    const AVInputFormat *demuxer = nullptr;
    if (av_probe_input_buffer2(m_io, &demuxer, name.constData(), nullptr, 0, unsigned(budget.probeBytes)) <
            0 ||
        !demuxer)
        return failed();
    if (readsStillPictures(demuxer))
        return Status::StillPicture;
    if (!readsOneFile(demuxer))
        return Status::NotAVideo;

    AVFormatContext *context = avformat_alloc_context();
    if (!context)
        return Status::NotAVideo;
    context->pb = m_io;
    context->interrupt_callback = {&VideoInput::interrupt, this};
    context->io_open = &refuseOpen;
    context->probesize = budget.probeBytes;
    context->max_analyze_duration = budget.analyseMicroseconds;
    AVDictionary *options = nullptr;
    av_dict_set(&options, "format_whitelist", singleFileDemuxerList().constData(), 0);
    av_dict_set(&options, "protocol_whitelist", "", 0);
    // A movie's reference tracks name other files.
    av_dict_set(&options, "enable_drefs", "0", 0);
    av_dict_set(&options, "use_absolute_path", "0", 0);
    const int opened = avformat_open_input(&context, name.constData(), demuxer, &options);
    av_dict_free(&options);
    if (opened < 0)
        return failed();
    m_format = context;
    if (budget.analyseMicroseconds > 0 && avformat_find_stream_info(context, nullptr) < 0 && m_stopped &&
        m_stopped())
        return Status::Stopped;
    if (context->nb_streams == 0)
        return Status::NotAVideo;
    return Status::Open;
}

QByteArray VideoInput::readAt(int64_t offset, int size)
{
    if (m_descriptor < 0 || offset < 0 || size <= 0)
        return {};
    QByteArray bytes(size, Qt::Uninitialized);
    ssize_t got;
    do {
        got = ::pread(m_descriptor, bytes.data(), size_t(size), off_t(offset));
    } while (got < 0 && errno == EINTR);
    if (got <= 0)
        return {};
    m_bytesRead += got;
    bytes.truncate(int(got));
    return bytes;
}

int VideoInput::readPacket(void *input, uint8_t *buffer, int size)
{
    auto *self = static_cast<VideoInput *>(input);
    if (self->m_stopped && self->m_stopped())
        return AVERROR_EXIT;
    const int64_t wanted = std::min<int64_t>(size, self->m_allowance);
    if (wanted <= 0)
        return AVERROR_EOF;
    ssize_t got;
    do {
        got = ::pread(self->m_descriptor, buffer, size_t(wanted), off_t(self->m_position));
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        return AVERROR(errno);
    if (got == 0)
        return AVERROR_EOF;
    self->m_position += got;
    self->m_allowance -= got;
    self->m_bytesRead += got;
    return int(got);
}

int64_t VideoInput::seek(void *input, int64_t offset, int whence)
{
    auto *self = static_cast<VideoInput *>(input);
    whence &= ~AVSEEK_FORCE;
    struct stat status;
    if ((whence == AVSEEK_SIZE || whence == SEEK_END) && ::fstat(self->m_descriptor, &status) != 0)
        return AVERROR(errno);
    int64_t target = 0;
    switch (whence) {
    case AVSEEK_SIZE:
        return status.st_size;
    case SEEK_SET:
        target = offset;
        break;
    case SEEK_CUR:
        target = self->m_position + offset;
        break;
    case SEEK_END:
        target = status.st_size + offset;
        break;
    default:
        return AVERROR(EINVAL);
    }
    if (target < 0)
        return AVERROR(EINVAL);
    self->m_position = target;
    return target;
}

int VideoInput::interrupt(void *input)
{
    const auto *self = static_cast<const VideoInput *>(input);
    return self->m_stopped && self->m_stopped() ? 1 : 0;
}

} // namespace tessaly::media
