#pragma once

#include "files/Outcome.h"

#include <QString>
#include <optional>

namespace tessaly {

class Workspace;

namespace settings {
// The cover searches' URL templates in `Setting.ini`, each holding "[[Title]]".
inline constexpr const char *CoverSearch1Key = "CoverSearch1";
inline constexpr const char *CoverSearch2Key = "CoverSearch2";
} // namespace settings

// What the settings dialog edits: the four site settings and the two cover
// search templates, as plain text, never trimmed.
struct EditedSettings
{
    QString movieFile;
    QString webFile;
    QString webLink;
    bool webUpdate = false;
    bool naturalOrder = true;
    bool checkVideos = true;
    QString coverSearch1;
    QString coverSearch2;
    // The user agreed to replace a `Setting.ini` that cannot be read: `save`
    // then writes it anew with these keys alone. A file readable by then is
    // saved as always, keeping its other keys.
    bool replaceUnreadableFile = false;

    // Everything empty, `webUpdate` off, `naturalOrder` and `checkVideos`
    // on when `Setting.ini` is missing; `webUpdate` is on only for the exact
    // word "True", `naturalOrder` and `checkVideos` off only for the exact
    // word "False".
    static EditedSettings read(const Workspace &workspace);
    // Why `Setting.ini` is there but cannot be read: its path and the
    // reason; nothing when it can be read or is missing.
    static std::optional<files::Failure> readFailure(const Workspace &workspace);

    // Writes WebUpdate ("True" or "False"), MovieFile, WebFile, WebLink,
    // CoverSearch1, CoverSearch2, NaturalOrder and CheckVideos ("True" or
    // "False"), in this order, with one replacement of the file. A movie
    // root or site folder that the file cannot carry is refused first. A
    // refusal or failed write comes back with its path and the reason, and
    // nothing is written.
    files::Outcome<void> save(const Workspace &workspace) const;
};

namespace settings {

inline QString replaceUnreadableQuestion()
{
    return QStringLiteral("设置文件无法读取,保存将替换整个文件,是否继续?");
}

inline QString movieFolderEmptyText()
{
    return QStringLiteral("请填写影片文件路径!");
}
inline QString siteFolderEmptyText()
{
    return QStringLiteral("请填写站点路径!");
}

// What a "测试" button says: `emptyText` for an empty box, otherwise
// whether a folder exists at the text as typed. Only a found folder is
// said as information; the rest are errors.
struct FolderTest
{
    bool found = false;
    QString text;
};
FolderTest testFolder(const QString &path, const QString &emptyText);

} // namespace settings
} // namespace tessaly
