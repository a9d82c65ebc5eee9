#pragma once

// The video libraries' objects that decoding and encoding hold, each freed
// by its owner, and the bound every decoder of a file from outside gets.

#include <cstdint>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

namespace tessaly::media {

// Twice an 8K frame: a damaged or hostile header must not make one frame
// take gigabytes.
constexpr int64_t LargestFramePixels = int64_t(7680) * 4320 * 2;

struct CodecDeleter
{
    void operator()(AVCodecContext *context) const { avcodec_free_context(&context); }
};
struct FrameDeleter
{
    void operator()(AVFrame *frame) const { av_frame_free(&frame); }
};
struct PacketDeleter
{
    void operator()(AVPacket *packet) const { av_packet_free(&packet); }
};

using CodecPtr = std::unique_ptr<AVCodecContext, CodecDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;

} // namespace tessaly::media
