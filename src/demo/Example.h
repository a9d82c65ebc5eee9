#pragma once

#include <QString>

namespace tessaly {
class ProgressSink;
}

namespace tessaly::demo {

// `tessaly-cli demo DIR`: makes a complete example in the new folder DIR.
// `DIR/site/movie` holds three projects' short videos, `DIR/workspace` a
// workspace that lists them with their covers, style and settings, and
// `DIR/site` the site that one whole-site run has published, to be opened
// from files. Everything is made in a hidden build folder beside DIR and
// renamed to DIR at the end, so a failure leaves nothing behind; the build
// folders that runs killed outright left beside DIR go first. A DIR that
// exists and is not an empty folder is refused. Progress goes to the sink,
// failures through the message seam, naming the folder DIR is made in
// where the build folder failed; false when nothing was made.
//
// Needs a QGuiApplication: the videos' frames are drawn with QPainter.
bool makeExample(const QString &folder, ProgressSink &sink);

} // namespace tessaly::demo
