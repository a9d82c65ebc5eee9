#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <atomic>
#include <chrono>

namespace tessaly::media {

// A picture as a JPEG holds it: full-range Y'CbCr 4:2:0, brightness (Y)
// first, then the blue and the red difference (Cb, Cr) at half the width
// and height, rounded up. Each plane is stored row after row, without gaps.
struct YuvPicture
{
    int width = 0;
    int height = 0;
    std::array<QByteArray, 3> planes;

    int planeWidth(int plane) const { return plane == 0 ? width : (width + 1) / 2; }
    int planeHeight(int plane) const { return plane == 0 ? height : (height + 1) / 2; }
};

struct FrameLimits
{
    std::chrono::milliseconds timeLimit{10000};
    // Set from another thread to give up at the next chance.
    const std::atomic<bool> *cancelled = nullptr;
};

// The frame that stands for a video, in the shape it was asked for, or why
// there is none.
struct PosterFrame
{
    enum class Failure
    {
        None,
        NotAVideo,      // not a video, truncated, empty, or not a plain file
        NoVideoPicture, // audio only, a still picture, subtitles
        MissingDecoder, // a video the libraries cannot decode
        PictureTooLarge,
        TimedOut,
        Cancelled,
        NoLibraries, // the video libraries cannot be loaded
    };

    YuvPicture picture;
    // The whole frame's size as a player shows it: its pixels' aspect ratio
    // and its rotation applied.
    int displayWidth = 0;
    int displayHeight = 0;
    Failure failure = Failure::None;
    // The frame's stored size, when it was too large to decode.
    int storedWidth = 0;
    int storedHeight = 0;
    // Why the video libraries cannot be loaded.
    QString libraryFailure;

    bool ok() const { return failure == Failure::None; }
};

// Picks the frame that stands for the video: of the first keyframes at or
// after 10, 20, 30, 40 and 50 % of the duration (10 to 50 s when the
// duration is unknown) the one with the largest spread of brightness, so a
// black or fading frame wins only when all are such. The frame is shown as
// a player would (pixel aspect ratio, rotation of phone videos), scaled to
// cover `width` × `height` and cut to it around its centre; the spread is
// that of the cut picture. The file is read by seeking, never decoded from
// its start except when no candidate serves, and given up after the time
// limit. What one call reads and holds is bounded, so a file padded with
// gigabytes of zeros fails or gives its first frame quickly and in little
// memory. A side under 1 is taken as 1.
// The path is the file system's bytes, which a name that is not UTF-8 needs.
PosterFrame takePosterFrame(const QByteArray &videoFile, int width, int height,
                            const FrameLimits &limits = {});

// The picture as a baseline JPEG of fixed quality; empty when the libraries
// cannot make one.
QByteArray encodeJpeg(const YuvPicture &picture);

} // namespace tessaly::media
