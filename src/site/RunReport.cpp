#include "site/RunReport.h"

#include "catalogue/ProjectRemoval.h"

namespace tessaly {

QString RunReport::failureText(const char *what, const QString &path, const QString &reason)
{
    return QString::fromUtf8(what) + path + QStringLiteral(": ") + reason;
}

QString RunReport::copyFailureText(const QString &source, const QString &target, const QString &reason)
{
    return QStringLiteral("无法复制 ") + source + QStringLiteral(" -> ") + target + QStringLiteral(": ") +
           reason;
}

void RunReport::failure(const QString &text)
{
    m_sink.add({text, ProgressIcon::Failure});
    ++m_errors;
}

void RunReport::cannotWrite(const QString &path, const QString &reason)
{
    failure(failureText("无法写入 ", path, reason));
}

void RunReport::cannotDelete(const QString &path, const QString &reason)
{
    failure(failureText("无法删除 ", path, reason));
}

void RunReport::cannotRead(const QString &path, const QString &reason)
{
    failure(failureText("无法读取 ", path, reason));
}

void RunReport::cannotCopy(const QString &source, const QString &target, const QString &reason)
{
    failure(copyFailureText(source, target, reason));
}

void RunReport::unusableName(const QString &name)
{
    failure(unusableProjectNameText(name));
}

} // namespace tessaly
