#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

namespace tessaly::media {

// What one episode file is, as far as its headers tell; no frame of it is
// decoded.
struct MediaFacts
{
    bool readable = false;
    bool empty = false;
    // The demuxer's first name ("mov", "matroska", "avi", …), and what the
    // file itself says it is where one demuxer reads several ("mp4", "mov",
    // "3gp", "webm", "mkv").
    QString container;
    QString family;
    std::optional<double> seconds;
    // The first video stream that is not an attached picture; empty when
    // there is none.
    QString videoCodec; // the libraries' codec name: "h264", "hevc", …
    QString videoProfile;
    int bitDepth = 0;
    int chromaWidthShift = 0; // 1 and 1 for 4:2:0, 1 and 0 for 4:2:2
    int chromaHeightShift = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    QStringList audioCodecs;
    // MP4/MOV only: the index (`moov`) comes after the media data.
    bool indexAtEnd = false;

    bool operator==(const MediaFacts &) const = default;
};

struct ProbeLimits
{
    std::chrono::milliseconds timeLimit{5000};
    int64_t readBytes = int64_t(8) << 20;
};

// Reads the file's headers through the single-file opening, within the
// limits. Never fails: a file it cannot read comes back unreadable.
MediaFacts probeEpisode(const QString &path, const ProbeLimits &limits = {});
// The same for a path as the file system's bytes, which a name that is not
// UTF-8 needs.
MediaFacts probeEpisode(const QByteArray &path, const ProbeLimits &limits = {});

class VideoInput;
// The facts of a file already opened through the single-file opening;
// `fileName` lends only its extension. Unreadable when the input is not open.
MediaFacts factsOf(VideoInput &input, const QString &fileName);

} // namespace tessaly::media
