#pragma once

#include <QByteArray>
#include <QString>

namespace tessaly::covers {

// Cover and candidate pictures are written beside their target under a
// dot-named temporary name and then renamed over it: the target is either
// the old file or the whole new one, a failure leaves the old file, and a
// crash leaves at most a hidden stray file. `reason` names the cause.
bool replaceFileWithBytes(const QString &target, const QByteArray &bytes, QString *reason = nullptr);
bool replaceFileWithCopy(const QString &source, const QString &target, QString *reason = nullptr);

} // namespace tessaly::covers
