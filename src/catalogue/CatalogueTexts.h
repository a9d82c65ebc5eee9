#pragma once

#include "files/Outcome.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the commands on the project list say, byte for byte.
namespace tessaly::catalogue::texts {

// The list is empty, or holds no project of the name or row asked for.
inline QString noContent()
{
    return QStringLiteral("没有内容!");
}

// Failures said together in one box: each one's text, in order, joined by
// CR LF.
inline QString joined(const QList<files::Failure> &failures)
{
    QStringList parts;
    for (const files::Failure &failure : failures)
        parts.append(failure.text());
    return parts.join(QStringLiteral("\r\n"));
}

} // namespace tessaly::catalogue::texts
