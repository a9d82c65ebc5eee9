#pragma once

#include "covers/CoverSize.h"
#include "media/PosterFrame.h"

#include <QByteArray>
#include <QString>

namespace tessaly::covers {

// A cover taken from a video file, or why there is none.
struct FrameGrab
{
    using Failure = media::PosterFrame::Failure;

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

using GrabLimits = media::FrameLimits;

// Takes the cover from the video: the frame that stands for it, as
// `media::takePosterFrame` picks it and cuts it to the cover's size, encoded
// as a JPEG. A size with a side under 1 is the built-in one.
FrameGrab grabCoverFrame(const QString &videoFile, CoverSize size, const GrabLimits &limits = {});
// The same for a path as the file system's bytes, which a name that is not
// UTF-8 needs.
FrameGrab grabCoverFrame(const QByteArray &videoFile, CoverSize size, const GrabLimits &limits = {});

} // namespace tessaly::covers
