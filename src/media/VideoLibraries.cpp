// The video library functions the program calls, resolved in their
// libraries when `loadVideoLibraries` first succeeds. The video libraries
// pull in about a hundred others (every codec, TLS, X11): linked as usual,
// they would be loaded and relocated at every start, some 30 ms, though only
// the commands that read or make videos use them.
//
// The definitions have the libraries' own names and types, so the code that
// calls them is written against the libraries' headers as usual, and the
// compiler checks each definition against its declaration. A function used
// anywhere must be listed here: the link names the one that is missing.

#include "media/VideoLibraries.h"

#include <QList>
#include <QtGlobal>
#include <cstdarg>
#include <dlfcn.h>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/display.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/mathematics.h>
#include <libavutil/mem.h>
#include <libavutil/pixdesc.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace {

enum class Library
{
    Util,
    Codec,
    Format,
    Scale,
    Resample,
    Filter,
};
constexpr int LibraryCount = 6;

// The same major versions the program was built against, as the linker
// would have asked for them.
#define TESSALY_SONAME(name, major) "lib" name ".so." AV_STRINGIFY(major)

const char *sonameOf(Library library)
{
    switch (library) {
    case Library::Util:
        return TESSALY_SONAME("avutil", LIBAVUTIL_VERSION_MAJOR);
    case Library::Codec:
        return TESSALY_SONAME("avcodec", LIBAVCODEC_VERSION_MAJOR);
    case Library::Format:
        return TESSALY_SONAME("avformat", LIBAVFORMAT_VERSION_MAJOR);
    case Library::Scale:
        return TESSALY_SONAME("swscale", LIBSWSCALE_VERSION_MAJOR);
    case Library::Resample:
        return TESSALY_SONAME("swresample", LIBSWRESAMPLE_VERSION_MAJOR);
    case Library::Filter:
        return TESSALY_SONAME("avfilter", LIBAVFILTER_VERSION_MAJOR);
    }
    return "";
}

struct Function
{
    Library library;
    const char *name;
};

// Every function defined below, so that loading checks all of them at once
// and a call never meets a function that is not there.
QList<Function> &functions()
{
    static QList<Function> all;
    return all;
}

bool listed(Library library, const char *name)
{
    functions().append({library, name});
    return true;
}

struct Loaded
{
    void *handles[LibraryCount] = {};
    QString failure;
};

Loaded load()
{
    Loaded loaded;
    for (int i = 0; i < LibraryCount; ++i) {
        const char *soname = sonameOf(Library(i));
        loaded.handles[i] = ::dlopen(soname, RTLD_LAZY | RTLD_LOCAL);
        if (!loaded.handles[i]) {
            loaded.failure = tessaly::media::libraryFailure(QString::fromUtf8(soname),
                                                            QString::fromLocal8Bit(::dlerror()));
            return loaded;
        }
    }
    for (const Function &function : functions()) {
        if (!::dlsym(loaded.handles[int(function.library)], function.name)) {
            loaded.failure = tessaly::media::libraryFailure(
                QString::fromUtf8(sonameOf(function.library)),
                QStringLiteral("没有函数 %1").arg(QString::fromLatin1(function.name)));
            return loaded;
        }
    }
    return loaded;
}

const Loaded &loaded()
{
    static const Loaded libraries = load();
    return libraries;
}

// The library's own function of that name, looked up once. The lookup is in
// the library itself, never in the program, so it cannot find the function
// that asks. The libraries are loaded here when they are not yet; callers
// ask `loadVideoLibraries` first, so that a missing library is their
// reported failure, and a call that finds none is a fault of the program.
template <auto Function> auto resolved(Library library, const char *name)
{
    using Pointer = decltype(Function);
    static const Pointer function = [&] {
        void *handle = loaded().handles[int(library)];
        void *symbol = handle ? ::dlsym(handle, name) : nullptr;
        if (!symbol)
            qFatal("%s: %s", qUtf8Printable(loaded().failure), name);
        return reinterpret_cast<Pointer>(symbol);
    }();
    return function;
}

} // namespace

namespace tessaly::media {

QString libraryFailure(const QString &soname, const QString &detail)
{
    return QStringLiteral("无法载入视频库 %1: %2").arg(soname, detail);
}

QString loadVideoLibraries()
{
    return loaded().failure;
}

bool silenceVideoLibraries()
{
    if (!loadVideoLibraries().isEmpty())
        return false;
    static std::once_flag once;
    std::call_once(once, [] {
        av_log_set_level(AV_LOG_QUIET);
        av_log_set_callback([](void *, int, const char *, va_list) {});
    });
    return true;
}

} // namespace tessaly::media

// One definition per function: its library, result, name, parameters and
// the arguments passed on.
#define TESSALY_VIDEO_CALL(library, result, name, parameters, arguments)                                     \
    extern "C" result name parameters                                                                        \
    {                                                                                                        \
        return resolved<&name>(Library::library, #name) arguments;                                           \
    }                                                                                                        \
    static const bool name##_listed = listed(Library::library, #name);

TESSALY_VIDEO_CALL(Util, void, av_channel_layout_default, (AVChannelLayout * layout, int channels),
                   (layout, channels))
TESSALY_VIDEO_CALL(Util, int, av_channel_layout_copy, (AVChannelLayout * dst, const AVChannelLayout *src),
                   (dst, src))
TESSALY_VIDEO_CALL(Util, int, av_channel_layout_describe,
                   (const AVChannelLayout *layout, char *buf, size_t buf_size), (layout, buf, buf_size))
TESSALY_VIDEO_CALL(Util, void, av_channel_layout_uninit, (AVChannelLayout * layout), (layout))
TESSALY_VIDEO_CALL(Util, AVDictionaryEntry *, av_dict_get,
                   (const AVDictionary *m, const char *key, const AVDictionaryEntry *prev, int flags),
                   (m, key, prev, flags))
TESSALY_VIDEO_CALL(Util, const AVPixFmtDescriptor *, av_pix_fmt_desc_get, (enum AVPixelFormat pix_fmt),
                   (pix_fmt))
TESSALY_VIDEO_CALL(Util, void, av_dict_free, (AVDictionary * *m), (m))
TESSALY_VIDEO_CALL(Util, int, av_dict_set,
                   (AVDictionary * *pm, const char *key, const char *value, int flags),
                   (pm, key, value, flags))
TESSALY_VIDEO_CALL(Util, double, av_display_rotation_get, (const int32_t matrix[9]), (matrix))
TESSALY_VIDEO_CALL(Util, void, av_free, (void *ptr), (ptr))
TESSALY_VIDEO_CALL(Util, void, av_freep, (void *ptr), (ptr))
TESSALY_VIDEO_CALL(Util, AVFrame *, av_frame_alloc, (void), ())
TESSALY_VIDEO_CALL(Util, void, av_frame_free, (AVFrame * *frame), (frame))
TESSALY_VIDEO_CALL(Util, int, av_frame_get_buffer, (AVFrame * frame, int align), (frame, align))
TESSALY_VIDEO_CALL(Util, AVFrameSideData *, av_frame_get_side_data,
                   (const AVFrame *frame, enum AVFrameSideDataType type), (frame, type))
TESSALY_VIDEO_CALL(Util, int, av_frame_make_writable, (AVFrame * frame), (frame))
TESSALY_VIDEO_CALL(Util, void, av_frame_unref, (AVFrame * frame), (frame))
TESSALY_VIDEO_CALL(Util, void, av_log_set_callback, (void (*callback)(void *, int, const char *, va_list)),
                   (callback))
TESSALY_VIDEO_CALL(Util, void, av_log_set_level, (int level), (level))
TESSALY_VIDEO_CALL(Util, void *, av_malloc, (size_t size), (size))
TESSALY_VIDEO_CALL(Util, char *, av_strdup, (const char *s), (s))
TESSALY_VIDEO_CALL(Util, int64_t, av_rescale_q, (int64_t a, AVRational bq, AVRational cq), (a, bq, cq))
TESSALY_VIDEO_CALL(Util, int, av_strerror, (int errnum, char *errbuf, size_t errbuf_size),
                   (errnum, errbuf, errbuf_size))

TESSALY_VIDEO_CALL(Codec, const char *, avcodec_get_name, (enum AVCodecID id), (id))
TESSALY_VIDEO_CALL(Codec, const char *, avcodec_profile_name, (enum AVCodecID codec_id, int profile),
                   (codec_id, profile))
TESSALY_VIDEO_CALL(Codec, AVPacket *, av_packet_alloc, (void), ())
TESSALY_VIDEO_CALL(Codec, void, av_packet_free, (AVPacket * *pkt), (pkt))
TESSALY_VIDEO_CALL(Codec, void, av_packet_rescale_ts, (AVPacket * pkt, AVRational tb_src, AVRational tb_dst),
                   (pkt, tb_src, tb_dst))
TESSALY_VIDEO_CALL(Codec, void, av_packet_unref, (AVPacket * pkt), (pkt))
TESSALY_VIDEO_CALL(Codec, int, avcodec_parameters_copy,
                   (AVCodecParameters * dst, const AVCodecParameters *src), (dst, src))
TESSALY_VIDEO_CALL(Codec, AVCodecContext *, avcodec_alloc_context3, (const AVCodec *codec), (codec))
TESSALY_VIDEO_CALL(Codec, const AVCodec *, avcodec_find_decoder, (enum AVCodecID id), (id))
TESSALY_VIDEO_CALL(Codec, const AVCodec *, avcodec_find_encoder, (enum AVCodecID id), (id))
TESSALY_VIDEO_CALL(Codec, const AVCodec *, avcodec_find_encoder_by_name, (const char *name), (name))
TESSALY_VIDEO_CALL(Codec, void, avcodec_flush_buffers, (AVCodecContext * avctx), (avctx))
TESSALY_VIDEO_CALL(Codec, void, avcodec_free_context, (AVCodecContext * *avctx), (avctx))
TESSALY_VIDEO_CALL(Codec, int, avcodec_open2,
                   (AVCodecContext * avctx, const AVCodec *codec, AVDictionary **options),
                   (avctx, codec, options))
TESSALY_VIDEO_CALL(Codec, int, avcodec_parameters_from_context,
                   (AVCodecParameters * par, const AVCodecContext *codec), (par, codec))
TESSALY_VIDEO_CALL(Codec, int, avcodec_parameters_to_context,
                   (AVCodecContext * codec, const AVCodecParameters *par), (codec, par))
TESSALY_VIDEO_CALL(Codec, int, avcodec_receive_frame, (AVCodecContext * avctx, AVFrame *frame),
                   (avctx, frame))
TESSALY_VIDEO_CALL(Codec, int, avcodec_receive_packet, (AVCodecContext * avctx, AVPacket *avpkt),
                   (avctx, avpkt))
TESSALY_VIDEO_CALL(Codec, int, avcodec_send_frame, (AVCodecContext * avctx, const AVFrame *frame),
                   (avctx, frame))
TESSALY_VIDEO_CALL(Codec, int, avcodec_send_packet, (AVCodecContext * avctx, const AVPacket *avpkt),
                   (avctx, avpkt))

TESSALY_VIDEO_CALL(Format, AVRational, av_guess_sample_aspect_ratio,
                   (AVFormatContext * format, AVStream *stream, AVFrame *frame), (format, stream, frame))
TESSALY_VIDEO_CALL(Format, AVRational, av_guess_frame_rate,
                   (AVFormatContext * format, AVStream *stream, AVFrame *frame), (format, stream, frame))
TESSALY_VIDEO_CALL(Format, int, av_interleaved_write_frame, (AVFormatContext * s, AVPacket *pkt), (s, pkt))
TESSALY_VIDEO_CALL(Format, int, av_probe_input_buffer2,
                   (AVIOContext * pb, const AVInputFormat **fmt, const char *url, void *logctx,
                    unsigned int offset, unsigned int max_probe_size),
                   (pb, fmt, url, logctx, offset, max_probe_size))
TESSALY_VIDEO_CALL(Format, int, av_read_frame, (AVFormatContext * s, AVPacket *pkt), (s, pkt))
TESSALY_VIDEO_CALL(Format, int, av_seek_frame,
                   (AVFormatContext * s, int stream_index, int64_t timestamp, int flags),
                   (s, stream_index, timestamp, flags))
TESSALY_VIDEO_CALL(Format, uint8_t *, av_stream_get_side_data,
                   (const AVStream *stream, enum AVPacketSideDataType type, size_t *size),
                   (stream, type, size))
TESSALY_VIDEO_CALL(Format, uint8_t *, av_stream_new_side_data,
                   (AVStream * stream, enum AVPacketSideDataType type, size_t size), (stream, type, size))
TESSALY_VIDEO_CALL(Format, int, av_write_trailer, (AVFormatContext * s), (s))
TESSALY_VIDEO_CALL(Format, AVFormatContext *, avformat_alloc_context, (void), ())
TESSALY_VIDEO_CALL(Format, int, avformat_alloc_output_context2,
                   (AVFormatContext * *ctx, const AVOutputFormat *oformat, const char *format_name,
                    const char *filename),
                   (ctx, oformat, format_name, filename))
TESSALY_VIDEO_CALL(Format, void, avformat_close_input, (AVFormatContext * *s), (s))
TESSALY_VIDEO_CALL(Format, int, avformat_find_stream_info, (AVFormatContext * ic, AVDictionary **options),
                   (ic, options))
TESSALY_VIDEO_CALL(Format, void, avformat_free_context, (AVFormatContext * s), (s))
TESSALY_VIDEO_CALL(Format, AVStream *, avformat_new_stream, (AVFormatContext * s, const AVCodec *c), (s, c))
TESSALY_VIDEO_CALL(Format, int, avformat_open_input,
                   (AVFormatContext * *ps, const char *url, const AVInputFormat *fmt, AVDictionary **options),
                   (ps, url, fmt, options))
TESSALY_VIDEO_CALL(Format, int, avformat_write_header, (AVFormatContext * s, AVDictionary **options),
                   (s, options))
TESSALY_VIDEO_CALL(Format, AVIOContext *, avio_alloc_context,
                   (unsigned char *buffer, int buffer_size, int write_flag, void *opaque,
                    int (*read_packet)(void *opaque, uint8_t *buf, int buf_size),
                    int (*write_packet)(void *opaque, uint8_t *buf, int buf_size),
                    int64_t (*seek)(void *opaque, int64_t offset, int whence)),
                   (buffer, buffer_size, write_flag, opaque, read_packet, write_packet, seek))
TESSALY_VIDEO_CALL(Format, int, avio_closep, (AVIOContext * *s), (s))
TESSALY_VIDEO_CALL(Format, void, avio_context_free, (AVIOContext * *s), (s))
TESSALY_VIDEO_CALL(Format, int, avio_open, (AVIOContext * *s, const char *url, int flags), (s, url, flags))

TESSALY_VIDEO_CALL(Scale, void, sws_freeContext, (struct SwsContext * swsContext), (swsContext))
TESSALY_VIDEO_CALL(Scale, const int *, sws_getCoefficients, (int colorspace), (colorspace))
TESSALY_VIDEO_CALL(Scale, int, sws_getColorspaceDetails,
                   (struct SwsContext * c, int **inv_table, int *srcRange, int **table, int *dstRange,
                    int *brightness, int *contrast, int *saturation),
                   (c, inv_table, srcRange, table, dstRange, brightness, contrast, saturation))
TESSALY_VIDEO_CALL(Scale, struct SwsContext *, sws_getContext,
                   (int srcW, int srcH, enum AVPixelFormat srcFormat, int dstW, int dstH,
                    enum AVPixelFormat dstFormat, int flags, SwsFilter *srcFilter, SwsFilter *dstFilter,
                    const double *param),
                   (srcW, srcH, srcFormat, dstW, dstH, dstFormat, flags, srcFilter, dstFilter, param))
TESSALY_VIDEO_CALL(Scale, int, sws_isSupportedInput, (enum AVPixelFormat pix_fmt), (pix_fmt))
TESSALY_VIDEO_CALL(Scale, int, sws_scale,
                   (struct SwsContext * c, const uint8_t *const srcSlice[], const int srcStride[],
                    int srcSliceY, int srcSliceH, uint8_t *const dst[], const int dstStride[]),
                   (c, srcSlice, srcStride, srcSliceY, srcSliceH, dst, dstStride))
TESSALY_VIDEO_CALL(Scale, int, sws_setColorspaceDetails,
                   (struct SwsContext * c, const int inv_table[4], int srcRange, const int table[4],
                    int dstRange, int brightness, int contrast, int saturation),
                   (c, inv_table, srcRange, table, dstRange, brightness, contrast, saturation))

TESSALY_VIDEO_CALL(Filter, int, av_buffersink_get_format, (const AVFilterContext *ctx), (ctx))
TESSALY_VIDEO_CALL(Filter, int, av_buffersink_get_frame, (AVFilterContext * ctx, AVFrame *frame),
                   (ctx, frame))
TESSALY_VIDEO_CALL(Filter, int, av_buffersink_get_h, (const AVFilterContext *ctx), (ctx))
TESSALY_VIDEO_CALL(Filter, AVRational, av_buffersink_get_sample_aspect_ratio, (const AVFilterContext *ctx),
                   (ctx))
TESSALY_VIDEO_CALL(Filter, AVRational, av_buffersink_get_time_base, (const AVFilterContext *ctx), (ctx))
TESSALY_VIDEO_CALL(Filter, int, av_buffersink_get_w, (const AVFilterContext *ctx), (ctx))
TESSALY_VIDEO_CALL(Filter, void, av_buffersink_set_frame_size, (AVFilterContext * ctx, unsigned frame_size),
                   (ctx, frame_size))
TESSALY_VIDEO_CALL(Filter, int, av_buffersrc_add_frame_flags,
                   (AVFilterContext * ctx, AVFrame *frame, int flags), (ctx, frame, flags))
TESSALY_VIDEO_CALL(Filter, const AVFilter *, avfilter_get_by_name, (const char *name), (name))
TESSALY_VIDEO_CALL(Filter, AVFilterGraph *, avfilter_graph_alloc, (void), ())
TESSALY_VIDEO_CALL(Filter, int, avfilter_graph_config, (AVFilterGraph * graphctx, void *log_ctx),
                   (graphctx, log_ctx))
TESSALY_VIDEO_CALL(Filter, int, avfilter_graph_create_filter,
                   (AVFilterContext * *filt_ctx, const AVFilter *filt, const char *name, const char *args,
                    void *opaque, AVFilterGraph *graph_ctx),
                   (filt_ctx, filt, name, args, opaque, graph_ctx))
TESSALY_VIDEO_CALL(Filter, void, avfilter_graph_free, (AVFilterGraph * *graph), (graph))
TESSALY_VIDEO_CALL(Filter, int, avfilter_graph_parse_ptr,
                   (AVFilterGraph * graph, const char *filters, AVFilterInOut **inputs,
                    AVFilterInOut **outputs, void *log_ctx),
                   (graph, filters, inputs, outputs, log_ctx))
TESSALY_VIDEO_CALL(Filter, AVFilterInOut *, avfilter_inout_alloc, (void), ())
TESSALY_VIDEO_CALL(Filter, void, avfilter_inout_free, (AVFilterInOut * *inout), (inout))
