#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

namespace tessaly::testing {

// Short videos the tests make themselves with the video libraries. By
// default: 10 s at 25 fps, 320 × 240, a keyframe every second, black except
// a checkerboard from 25 % to 45 % of the duration, where the 30 % and 40 %
// candidates fall.
struct TestVideo
{
    enum class Kind
    {
        Mpeg4InMp4,
        MjpegInAvi,
        H264InMpegTs,
        // A bare H.264 stream, as a camera or a download leaves it.
        RawH264,
        Vp8InWebm, // what every browser engine plays
    };
    // Brightness 0–255 of a pixel of a frame.
    using Picture = std::function<int(int frame, int x, int y)>;

    Kind kind = Kind::Mpeg4InMp4;
    int width = 320;
    int height = 240;
    int seconds = 10;
    int framesPerSecond = 25;
    // Seconds from one keyframe to the next.
    int keyframeSeconds = 1;
    Picture picture;
    // Degrees clockwise a player turns the stored picture to show it, as
    // phone videos record it in their display matrix.
    int displayTurn = 0;
    int sampleAspectNumerator = 1;
    int sampleAspectDenominator = 1;

    TestVideo();
    // Writes the file; false (with the reason in `error`) when the libraries refuse.
    bool write(const QString &path, QString *error = nullptr) const;

    // The default picture: the checkerboard only while 25 % to 45 % of the
    // frames have passed.
    static Picture texturedStretch(int frameCount);
};

// A tiny sample in any container with any of the libraries' encoders, for
// telling what a file is: a second of video of 64 × 64 at 10 fps, a second
// of silent stereo sound, either may be left out.
struct MediaSample
{
    const char *muxer = "mp4";
    const char *videoEncoder = "libx264"; // nullptr: no video
    const char *pixelFormat = "yuv420p";
    const char *audioEncoder = "aac"; // nullptr: no sound
    // A cover picture attached as tagging programs do.
    bool coverArt = false;
    // MP4 and MOV: the index before the media data.
    bool indexFirst = true;
    // Video with B-frames: stored out of the order it is shown in.
    bool reordered = false;

    bool write(const QString &path, QString *error = nullptr) const;
};

// The times (ms) the first video stream's packets are shown at, in the
// order they are stored; packets without one are left out.
std::vector<int64_t> videoPresentationTimes(const QString &path);

// A WAV file of one second of a tone: audio and nothing else.
bool writeAudioOnly(const QString &path);

// A JPEG picture's brightness, decoded by the video libraries so that the
// logic's tests need no picture classes of the window system.
struct GreyPicture
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;

    bool isNull() const { return pixels.empty(); }
    // The brightness 0–255 at a point given in hundredths of the sides.
    int brightnessAt(int xPercent, int yPercent) const
    {
        return pixels[size_t(height * yPercent / 100) * width + width * xPercent / 100];
    }
};
GreyPicture decodeJpeg(const QByteArray &jpeg);

// The brightness spread of a picture's pixels; 0 for a flat picture.
double luminanceVariance(const QByteArray &jpeg);

} // namespace tessaly::testing
