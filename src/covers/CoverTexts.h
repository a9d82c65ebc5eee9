#pragma once

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
inline QString unusableProjectName()
{
    return QStringLiteral("无法使用的项目名称: ");
}

// Captions of the two search dialogs.
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
