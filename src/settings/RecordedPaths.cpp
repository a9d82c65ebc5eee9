#include "settings/RecordedPaths.h"

#include "files/TextFile.h"

namespace tessaly::settings {
namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// A tab inside a path reads back as it was, but the program records none:
// it is taken for a blank wherever it stands.
bool hasBlankEndsOrControlCharacter(const QString &path)
{
    return isBlank(path.front()) || isBlank(path.back()) || path.contains(u'\t') ||
           holdsControlCharacter(path);
}

// Qt turns the bytes of a file name that are not UTF-8 into U+FFFD, so a
// path holding it names another folder than the one on disk.
bool cameFromBytesThatAreNotUtf8(const QString &path)
{
    return path.contains(QChar::ReplacementCharacter) || !QStringView(path).isValidUtf16();
}

QString unstorablePathReason()
{
    return QStringLiteral("路径中含有无法保存的字符!");
}

} // namespace

QString undecodedPathRefusal(const QString &path)
{
    if (!cameFromBytesThatAreNotUtf8(path))
        return {};
    return files::Failure{path, unstorablePathReason()}.text();
}

bool holdsControlCharacter(QStringView path)
{
    for (const QChar c : path) {
        if ((c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7F)
            return true;
    }
    return false;
}

QString unusableEpisodeFolderReason()
{
    return QStringLiteral("无法使用的剧集文件夹");
}

QString unusableEpisodeFolderText(const QString &path)
{
    return unusableEpisodeFolderReason() + QStringLiteral(": ") + path;
}

std::optional<files::Failure> recordedPathFailure(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    if (hasBlankEndsOrControlCharacter(path))
        return files::Failure{path, QStringLiteral("路径不能以空白开头或结尾,也不能含有控制字符!")};
    if (cameFromBytesThatAreNotUtf8(path) || !text::hasOnlyStorableCharacters(path))
        return files::Failure{path, unstorablePathReason()};
    return std::nullopt;
}

QString recordedPathRefusal(const QString &path)
{
    const std::optional<files::Failure> failure = recordedPathFailure(path);
    return failure ? failure->text() : QString();
}

} // namespace tessaly::settings
