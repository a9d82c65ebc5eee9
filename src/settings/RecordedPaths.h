#pragma once

#include "files/Outcome.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace tessaly::settings {

// Why a folder path cannot be recorded in an INI file; nothing when it can.
// The INI reader trims blanks and tabs around a value and a line break ends
// it, so such a path would read back as another folder, with no word said;
// and a character the file cannot carry would come back as another one.
std::optional<files::Failure> recordedPathFailure(const QString &path);
// That refusal as the user reads it (the path, CR LF, the reason); empty
// text when the path can be recorded.
QString recordedPathRefusal(const QString &path);
// The part of that refusal for a path Qt got from bytes that are not UTF-8,
// which names another folder than the one on disk: nothing can be listed
// or recorded through it.
QString undecodedPathRefusal(const QString &path);

// A character below U+0020 other than the tab, or U+007F. The program never
// records a path holding one, and such a path names another folder than the
// one it reads as: the system ends a path at a NUL, so a hand-edited
// `…/Show\0/../../x` would be listed as one folder and linked as another.
bool holdsControlCharacter(QStringView path);
// A project settings file's `File` that holds one: nothing reads that
// folder, and the project is left as it is, with this said.
QString unusableEpisodeFolderReason();
QString unusableEpisodeFolderText(const QString &path);

} // namespace tessaly::settings
