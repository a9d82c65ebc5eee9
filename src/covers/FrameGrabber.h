#pragma once

#include "covers/CoverSize.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>

namespace tessaly::covers {

// A cover taken from a video file, or why there is none.
struct FrameGrab
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

    QByteArray jpeg;
    Failure failure = Failure::None;
    // The picture's size, when it was too large.
    int width = 0;
    int height = 0;
    // Why the video libraries cannot be loaded.
    QString libraryFailure;

    bool ok() const { return failure == Failure::None; }
    // The reason the user reads after the file's path.
    QString reason() const;
};

struct GrabLimits
{
    std::chrono::milliseconds timeLimit{10000};
    // Set from another thread to give up at the next chance.
    const std::atomic<bool> *cancelled = nullptr;
};

// Takes the cover from the video: of the first keyframes at or after 10, 20,
// 30, 40 and 50 % of the duration (10 to 50 s when the duration is unknown)
// the one with the largest spread of brightness, so a black or fading frame
// wins only when all are such. The frame is shown as a player would (pixel
// aspect ratio, rotation of phone videos), scaled to cover the size and cut
// to it around its centre, and encoded as a JPEG. The file is read by
// seeking, never decoded from its start except when no candidate serves,
// and given up after the time limit. What one grab reads and holds is
// bounded, so a file padded with gigabytes of zeros fails or gives its
// first frame quickly and in little memory.
FrameGrab grabCoverFrame(const QString &videoFile, CoverSize size, const GrabLimits &limits = {});

} // namespace tessaly::covers
