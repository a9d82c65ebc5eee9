#pragma once

#include "platform/Messages.h"
#include "site/PageSet.h"

#include <QList>
#include <QString>
#include <optional>

namespace tessaly {

class Workspace;

// A file a run depends on that could not be read or decoded, or a missing
// template file that could not be written.
struct InputFileFailure
{
    enum class Kind
    {
        Read,
        Write
    };
    Kind kind = Kind::Read;
    QString path;
    QString reason;
};

// The working templates the style load leaves in memory for generation.
struct WorkingTemplates
{
    QString indexPage;
    QString coverCell;
    QString rowBreak;
    QString playPage;
    QString button;
    QString function;
    int cellsPerRow = 3;
    // The set these belong to; the new set's index page and cells are
    // UTF-8 and take the new set's placeholders.
    PageSet pageSet = PageSet::Classic;
    QString siteName; // the new set's, never empty there
    // What the load that made these could not read or write. A template
    // whose file failed keeps its earlier text; no run may use them then.
    QList<InputFileFailure> failures;
    // What the load that made these says in a box before anything goes on:
    // `Style.ini` missing, or a number of it that is not one.
    std::optional<Message> box;
};

// `UpdateStyle`: refreshes the working templates from `Style/` (writing the
// template files that are missing); files it cannot read or write are left
// in `failures`, and what it says in `box`, for the caller.
WorkingTemplates UpdateStyle(const Workspace &workspace);
// The same, keeping a file-backed template of `previous` whose file is
// missing at this load (the file is written now and read by the next load).
WorkingTemplates UpdateStyle(const Workspace &workspace, const WorkingTemplates &previous);

// Writes the set's template files that are missing, with their defaults
// ("编辑页面源码" opens a folder that holds them). False when one could not
// be written.
bool writeMissingTemplates(const Workspace &workspace, PageSet set);

// The message shown when `Style.ini` is missing, titled "Tessaly", no icon.
QString missingStyleText();
// Names of the three editable template files in `Style/`.
inline constexpr const char *PageStyleFile = "PageStyle.html";
inline constexpr const char *ButtonStyleFile = "ButtonStyle.html";
inline constexpr const char *FunctionStyleFile = "FunctionStyle.html";

} // namespace tessaly
