#include "covers/FrameGrabber.h"

#include "covers/CoverTexts.h"

#include <QFile>

namespace tessaly::covers {

using Failure = FrameGrab::Failure;

QString FrameGrab::reason() const
{
    switch (failure) {
    case Failure::None:
        return {};
    case Failure::NotAVideo:
        return texts::notAVideo();
    case Failure::NoVideoPicture:
        return texts::noVideoPicture();
    case Failure::MissingDecoder:
        return texts::missingDecoder();
    case Failure::PictureTooLarge:
        return texts::pictureTooLarge(width, height);
    case Failure::TimedOut:
        return texts::grabTimedOut();
    case Failure::Cancelled:
        return texts::grabCancelled();
    case Failure::NoLibraries:
        return libraryFailure;
    }
    return {};
}

FrameGrab grabCoverFrame(const QString &videoFile, CoverSize size, const GrabLimits &limits)
{
    return grabCoverFrame(QFile::encodeName(videoFile), size, limits);
}

FrameGrab grabCoverFrame(const QByteArray &videoFile, CoverSize size, const GrabLimits &limits)
{
    if (size.width <= 0 || size.height <= 0)
        size = CoverSize{};
    const media::PosterFrame poster = media::takePosterFrame(videoFile, size.width, size.height, limits);
    FrameGrab grab;
    grab.failure = poster.failure;
    grab.width = poster.storedWidth;
    grab.height = poster.storedHeight;
    grab.libraryFailure = poster.libraryFailure;
    if (!poster.ok())
        return grab;
    grab.jpeg = media::encodeJpeg(poster.picture);
    if (grab.jpeg.isEmpty())
        grab.failure = Failure::NotAVideo;
    return grab;
}

} // namespace tessaly::covers
