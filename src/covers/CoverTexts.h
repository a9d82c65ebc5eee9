#pragma once

#include "media/MediaTexts.h"

#include <QString>

// The cover commands' own texts, byte for byte.
namespace tessaly::covers::texts {

inline QString nothingFound()
{
    return QStringLiteral("没有搜索到相关内容!");
}
inline QString noSearchAddress()
{
    return QStringLiteral("请先在设置中填写封面搜索地址!");
}
inline QString loadingError()
{
    return QStringLiteral("加载错误,请检查图片资源链接:");
}
inline QString listEmpty()
{
    return QStringLiteral("列表内容为空,请修改关键字后重新搜索!");
}
inline QString nothingSelected()
{
    return QStringLiteral("没有选择内容!");
}
inline QString notDownloaded()
{
    return QStringLiteral("图片尚未下载,请先点击预览!");
}
inline QString linkCopied()
{
    return QStringLiteral("复制链接成功!");
}

// Why no cover could be taken from a video file; the first reasons are the
// media layer's own.
inline QString notAVideo()
{
    return media::texts::notAVideo();
}
inline QString noVideoPicture()
{
    return QStringLiteral("文件中没有视频画面");
}
inline QString missingDecoder()
{
    return media::texts::missingDecoder();
}
inline QString pictureTooLarge(int width, int height)
{
    return QStringLiteral("视频画面过大 (%1×%2)").arg(width).arg(height);
}
inline QString grabTimedOut()
{
    return QStringLiteral("截取超时");
}
inline QString grabCancelled()
{
    return QStringLiteral("截取已取消");
}
inline QString noEpisodes()
{
    return QStringLiteral("该项目没有剧集!");
}
inline QString noSuchEpisode()
{
    return QStringLiteral("没有找到该剧集!");
}

// The run that takes covers for every project still without its own.
inline QString grabbingCover(const QString &project)
{
    return QStringLiteral("截取封面: ") + project + QStringLiteral("...");
}
inline QString cannotGrabCover(const QString &path, const QString &reason)
{
    return QStringLiteral("无法截取封面 ") + path + QStringLiteral(": ") + reason;
}
inline QString coversGrabbed()
{
    return QStringLiteral("截取封面完成");
}
inline QString coversGrabbedWithErrors(int errors)
{
    return QStringLiteral("截取封面完成,共 %1 个错误!").arg(errors);
}
inline QString quitWhileGrabbing()
{
    return QStringLiteral("正在截取封面,确定要退出吗?");
}

// Captions of the two search dialogs.
inline QString searchTitle()
{
    return QStringLiteral("查找封面");
}
inline QString keywordLabel()
{
    return QStringLiteral("关键字：");
}
inline QString searchAgain()
{
    return QStringLiteral("重新搜索");
}
inline QString search()
{
    return QStringLiteral("搜索");
}
inline QString loading()
{
    return QStringLiteral("正在加载..");
}
inline QString pressSearch()
{
    return QStringLiteral("请点击搜索键");
}
inline QString analysePage()
{
    return QStringLiteral("分析页面内容 >");
}

} // namespace tessaly::covers::texts
