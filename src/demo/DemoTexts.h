#pragma once

#include <QString>

// What making the example says, byte for byte.
namespace tessaly::demo::texts {

inline QString folderNotEmpty()
{
    return QStringLiteral("文件夹不为空!");
}
inline QString fileInTheWay()
{
    return QStringLiteral("已存在同名文件!");
}
inline QString makingVideo()
{
    return QStringLiteral("制作示例视频 ");
}
inline QString takingCover()
{
    return QStringLiteral("从视频截取封面 ");
}
inline QString removedLeftover()
{
    return QStringLiteral("删除中断的示例留下的文件夹 ");
}
inline QString ready()
{
    return QStringLiteral("示例已生成, 工作区: ");
}

} // namespace tessaly::demo::texts
