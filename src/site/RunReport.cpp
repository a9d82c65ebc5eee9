#include "site/RunReport.h"

#include "catalogue/ProjectRemoval.h"
#include "site/SiteTexts.h"

namespace tessaly {

void RunReport::failure(const QString &text)
{
    add({text, ProgressIcon::Failure});
    ++m_errors;
}

void RunReport::cannotWrite(const QString &path, const QString &reason)
{
    failure(site::texts::cannotWrite(path, reason));
}

void RunReport::cannotDelete(const QString &path, const QString &reason)
{
    failure(site::texts::cannotDelete(path, reason));
}

void RunReport::cannotRead(const QString &path, const QString &reason)
{
    failure(site::texts::cannotRead(path, reason));
}

void RunReport::cannotCopy(const QString &source, const QString &target, const QString &reason)
{
    failure(site::texts::cannotCopy(source, target, reason));
}

void RunReport::unusableName(const QString &name)
{
    failure(unusableProjectNameText(name));
}

} // namespace tessaly
