#pragma once

#include "files/Outcome.h"

#include <QImage>
#include <QString>
#include <atomic>
#include <functional>

namespace tessaly::demo {

// The shape of every example video: short, small and playable by every
// browser that plays MP4 at all.
struct VideoShape
{
    int width = 640;
    int height = 360;
    int framesPerSecond = 25;
    int seconds = 5;

    int frameCount() const { return framesPerSecond * seconds; }
};

// Gives the picture of frame `index` (from 0), at the shape's size.
using FramePainter = std::function<QImage(int index)>;

// Encodes the frames in-process as H.264 (High profile, yuv420p, a keyframe
// at every whole second) in an MP4 file whose index comes first, so a
// browser starts playing before the whole file has arrived. A failure
// naming `path` when the file cannot be made, and as soon as `stop` is set.
files::Outcome<void> writeExampleVideo(const QString &path, const VideoShape &shape,
                                       const FramePainter &paint, const std::atomic<bool> *stop = nullptr);

} // namespace tessaly::demo
