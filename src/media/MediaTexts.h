#pragma once

#include <QString>

// The media layer's texts for the user, byte for byte.
namespace tessaly::media::texts {

inline QString notAVideo()
{
    return QStringLiteral("不是视频文件或文件已损坏");
}
inline QString missingDecoder()
{
    return QStringLiteral("缺少此视频格式的解码器");
}
inline QString missingEncoder(const char *name)
{
    return QStringLiteral("缺少编码器 %1").arg(QLatin1String(name));
}
// Why a video cannot be written, when the libraries' code is no error number.
inline QString noH264Encoder()
{
    return QStringLiteral("视频库中没有 H.264 编码器 (libx264)");
}
inline QString noEncoderInLibraries()
{
    return QStringLiteral("视频库中没有所需的编码器");
}
inline QString noMp4Muxer()
{
    return QStringLiteral("视频库中没有 MP4 封装格式");
}
inline QString videoLibraryError(int code)
{
    return QStringLiteral("视频库出错 (错误代码 %1)").arg(code);
}
inline QString copyStopped()
{
    return QStringLiteral("制作已停止");
}
inline QString copyDoesNotPlay(const QString &verdict)
{
    return QStringLiteral("制作的网页版无法播放 (%1)").arg(verdict);
}
inline QString badFileName()
{
    return QStringLiteral("文件名无效");
}
inline QString notEnoughSpace(const QString &needed, const QString &free)
{
    return QStringLiteral("磁盘空间不足 (需要约 %1, 剩余 %2)").arg(needed, free);
}
// "2 个直接转存, 1 个转换音频, 1 个重新编码"
inline QString copyCounts(int streamCopies, int newSound, int everything)
{
    return QStringLiteral("%1 个直接转存, %2 个转换音频, %3 个重新编码")
        .arg(streamCopies)
        .arg(newSound)
        .arg(everything);
}
inline QString copyEstimate(const QString &size, int minutes)
{
    return QStringLiteral("约 %1, 约 %2 分钟").arg(size).arg(minutes);
}

} // namespace tessaly::media::texts
