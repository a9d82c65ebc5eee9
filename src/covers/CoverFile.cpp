#include "covers/CoverFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <functional>

namespace tessaly::covers {

namespace {

constexpr qint64 CopyChunkBytes = 1 << 20;

void setReason(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
}

// Fills a hidden temporary file beside the target and renames it over the
// target; the temporary file goes away on every failure.
bool replaceThroughTemporary(const QString &target, const std::function<bool(QFile &, QString *)> &fill,
                             QString *reason)
{
    const QFileInfo info(target);
    QTemporaryFile temporary(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                             QStringLiteral(".XXXXXX"));
    if (!temporary.open()) {
        setReason(reason, temporary.errorString());
        return false;
    }
    if (!fill(temporary, reason))
        return false;
    if (!temporary.flush()) {
        setReason(reason, temporary.errorString());
        return false;
    }
    temporary.close();
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(temporary.fileName()).toStdString(),
                            QFile::encodeName(info.absoluteFilePath()).toStdString(), error);
    if (error) {
        setReason(reason, QString::fromLocal8Bit(error.message()));
        return false;
    }
    temporary.setAutoRemove(false);
    return true;
}

} // namespace

bool replaceFileWithBytes(const QString &target, const QByteArray &bytes, QString *reason)
{
    return replaceThroughTemporary(
        target,
        [&bytes](QFile &out, QString *why) {
            if (out.write(bytes) == bytes.size())
                return true;
            setReason(why, out.errorString());
            return false;
        },
        reason);
}

bool replaceFileWithCopy(const QString &source, const QString &target, QString *reason)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        setReason(reason, in.errorString());
        return false;
    }
    return replaceThroughTemporary(
        target,
        [&in](QFile &out, QString *why) {
            while (!in.atEnd()) {
                const QByteArray chunk = in.read(CopyChunkBytes);
                if (chunk.isEmpty() && in.error() != QFileDevice::NoError) {
                    setReason(why, in.errorString());
                    return false;
                }
                if (out.write(chunk) != chunk.size()) {
                    setReason(why, out.errorString());
                    return false;
                }
            }
            return true;
        },
        reason);
}

} // namespace tessaly::covers
