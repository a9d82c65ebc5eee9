#include "settings/RecordedPaths.h"

#include "files/TextFile.h"
#include "platform/Messages.h"

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

} // namespace

QString undecodedPathRefusal(const QString &path)
{
    if (!cameFromBytesThatAreNotUtf8(path))
        return {};
    return Messages::withPath(path, QStringLiteral("路径中含有无法保存的字符!"));
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

QString recordedPathRefusal(const QString &path)
{
    if (path.isEmpty())
        return {};
    if (hasBlankEndsOrControlCharacter(path))
        return Messages::withPath(path, QStringLiteral("路径不能以空白开头或结尾,也不能含有控制字符!"));
    if (cameFromBytesThatAreNotUtf8(path) || !text::hasOnlyStorableCharacters(path))
        return Messages::withPath(path, QStringLiteral("路径中含有无法保存的字符!"));
    return {};
}

} // namespace tessaly::settings
