#pragma once

#include <QString>

namespace tessaly {

class Workspace;

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
};

// `UpdateStyle`: refreshes the working templates from `Style/` (writing the
// template files that are missing) and reports through the message seam.
WorkingTemplates UpdateStyle(const Workspace &workspace);
// The same, keeping a file-backed template of `previous` whose file is
// missing at this load (the file is written now and read by the next load).
WorkingTemplates UpdateStyle(const Workspace &workspace, const WorkingTemplates &previous);

// The message shown when `Style.ini` is missing, titled "Tessaly", no icon.
QString missingStyleText();
// Names of the three editable template files in `Style/`.
inline constexpr const char *PageStyleFile = "PageStyle.html";
inline constexpr const char *ButtonStyleFile = "ButtonStyle.html";
inline constexpr const char *FunctionStyleFile = "FunctionStyle.html";

} // namespace tessaly
