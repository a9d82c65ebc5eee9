#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

struct AVFormatContext;
struct AVIOContext;

namespace tessaly::media {

// How much opening a video may read and hold: a file of a few seconds of
// video followed by gigabytes of zeros, as a preallocated download leaves
// it, must not make the libraries read or buffer it whole.
struct InputBudget
{
    int64_t probeBytes = 5'000'000;
    // 0: the headers alone, without a frame read to learn more.
    int64_t analyseMicroseconds = 5'000'000;
    // All that opening may read: the header, and an index at the end.
    int64_t openingBytes = int64_t(32) << 20;
};

// One video file opened for the video libraries, and nothing else: the
// file is opened once, by descriptor, and must be a plain file; only
// demuxers that read a single file are used, and every other file,
// address or protocol a demuxer asks for (a playlist's entries, a movie's
// reference tracks) is refused. Reading gives up when `stopped` says so.
class VideoInput
{
public:
    enum class Status
    {
        Open,
        NotAVideo,    // not a plain file, unreadable, or no demuxer of ours reads it
        StillPicture, // a picture, which demuxers of single pictures would read
        Stopped,
    };

    explicit VideoInput(std::function<bool()> stopped = {});
    ~VideoInput();
    VideoInput(const VideoInput &) = delete;
    VideoInput &operator=(const VideoInput &) = delete;

    // Opens the file and reads what the libraries need to know its streams.
    Status open(const QString &path, const InputBudget &budget = {});
    // The same for a path as the file system's bytes, which a name that is
    // not UTF-8 needs.
    Status open(const QByteArray &path, const InputBudget &budget = {});
    // As `open`, for a file the caller opened itself: the input takes the
    // descriptor over and closes it. `fileName` lends only its extension to the
    // guess of the format.
    Status open(int descriptor, const QString &fileName, const InputBudget &budget = {});
    AVFormatContext *format() const { return m_format; }
    // The open file, for what the caller asks of it beside the libraries
    // (its size and time); -1 when none is open.
    int descriptor() const { return m_descriptor; }

    // From now on reading may take this many bytes more; beyond them the
    // file reads as ended, until the next allowance.
    void allowBytes(int64_t bytes) { m_allowance = bytes; }
    int64_t bytesRead() const { return m_bytesRead; }
    // Up to `size` bytes at `offset` of the open file, read beside the
    // libraries' reading and counted with it; fewer at its end.
    QByteArray readAt(int64_t offset, int size);

private:
    static int readPacket(void *input, uint8_t *buffer, int size);
    static int64_t seek(void *input, int64_t offset, int whence);
    static int interrupt(void *input);
    void close();

    std::function<bool()> m_stopped;
    int m_descriptor = -1;
    int64_t m_position = 0;
    int64_t m_allowance = 0;
    int64_t m_bytesRead = 0;
    AVIOContext *m_io = nullptr;
    AVFormatContext *m_format = nullptr;
};

} // namespace tessaly::media
