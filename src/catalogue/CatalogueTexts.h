#pragma once

#include <QString>

// What the commands on the project list say, byte for byte.
namespace tessaly::catalogue::texts {

// The list is empty, or holds no project of the name or row asked for.
inline QString noContent()
{
    return QStringLiteral("没有内容!");
}

} // namespace tessaly::catalogue::texts
