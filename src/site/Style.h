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

} // namespace tessaly
