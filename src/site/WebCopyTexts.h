#pragma once

#include <QString>

// The texts of "转换为网页格式", byte for byte.
namespace tessaly::webcopy::texts {

inline QString convertCommand()
{
    return QStringLiteral("转换为网页格式");
}
inline QString convertAllCommand()
{
    return QStringLiteral("转换所有无法播放的剧集");
}
inline QString noSiteFolder()
{
    return QStringLiteral("请先在设置中填写站点路径!");
}
inline QString siteInsideMovies()
{
    return QStringLiteral("站点文件夹位于影片文件路径之内,无法保存网页版视频!");
}
inline QString nothingToConvert()
{
    return QStringLiteral("没有需要转换的剧集!");
}
inline QString episodePlays()
{
    return QStringLiteral("该集可以在浏览器中播放,无需转换!");
}
inline QString copyUpToDate()
{
    return QStringLiteral("该集的网页版视频已是最新!");
}
// `gigabytes` with one decimal, as "1.2".
inline QString question(int count, int copied, int newSound, int encoded, const QString &gigabytes,
                        int minutes)
{
    return QStringLiteral(
               "将转换 %1 集:复制 %2 集,转换音频 %3 集,重新编码 %4 集;约需 %5 GB 空间,约 %6 分钟。是否开始?")
        .arg(count)
        .arg(copied)
        .arg(newSound)
        .arg(encoded)
        .arg(gigabytes)
        .arg(minutes);
}
inline QString quitWhileConverting()
{
    return QStringLiteral("正在转换视频,确定要退出吗?");
}
inline QString checking()
{
    return QStringLiteral("正在检查剧集...");
}
// How a copy is made, in the run's line of each episode.
inline QString copied()
{
    return QStringLiteral("复制");
}
inline QString newSound()
{
    return QStringLiteral("转换音频");
}
inline QString encoded()
{
    return QStringLiteral("重新编码");
}
// `how` is one of the three above, or empty when it is not known.
inline QString converting(const QString &project, const QString &episode, const QString &how)
{
    if (how.isEmpty())
        return QStringLiteral("正在转换 %1 - %2...").arg(project, episode);
    return QStringLiteral("正在转换 %1 - %2 (%3)...").arg(project, episode, how);
}
inline QString cannotConvert(const QString &project, const QString &episode, const QString &path,
                             const QString &reason)
{
    return QStringLiteral("无法转换 %1 - %2: %3: %4").arg(project, episode, path, reason);
}
inline QString stopped()
{
    return QStringLiteral("转换已停止");
}
inline QString finished(int made)
{
    return QStringLiteral("转换为网页格式完成,共转换 %1 集。").arg(made);
}
inline QString finishedWithErrors(int made, int errors)
{
    return QStringLiteral("转换为网页格式完成,共转换 %1 集,%2 个错误。").arg(made).arg(errors);
}
inline QString stoppedAfter(int made)
{
    return QStringLiteral("转换已停止,已转换 %1 集。").arg(made);
}
// Why an episode can have no copy of its own in the site folder.
inline QString unusableName(const QString &part)
{
    return QStringLiteral("“%1”不能用作网页版视频的文件夹或文件名").arg(part);
}
inline QString insideMovies()
{
    return QStringLiteral("位于影片文件路径之内");
}
inline QString removedCopy(const QString &path)
{
    return QStringLiteral("已删除网页版视频 %1 (原视频已不在任何项目中)").arg(path);
}

} // namespace tessaly::webcopy::texts
