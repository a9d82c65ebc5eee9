#pragma once

#include "demo/ExampleVideo.h"

#include <QColor>
#include <QImage>
#include <QString>

namespace tessaly::demo {

// The pictures of one example episode: its project's emblem, name and
// episode number over a background that keeps moving, with the time
// running along the bottom. What does not change from frame to frame is
// drawn once.
class EpisodeFrames
{
public:
    EpisodeFrames(const QString &emblem, const QString &project, int episode, QColor tint,
                  const VideoShape &shape);

    QImage frame(int index) const;

    // The font the names are drawn in: one that has the Chinese characters.
    static QString fontFamily();

private:
    VideoShape m_shape;
    QImage m_background; // twice as wide as a frame; a frame shows a moving window of it
    QImage m_captions;   // transparent but for the text
    QImage m_glow;       // a soft light, drawn twice at moving places
    QColor m_tint;
};

} // namespace tessaly::demo
