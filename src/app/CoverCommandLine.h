#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace tessaly {

class ProjectList;
class Workspace;

// The command line's cover commands; each returns the exit status.
namespace cover_commands {

using Output = std::function<void(const QString &line)>;

// `cover NAME [EPISODE]`: the first row named NAME takes its cover from its
// videos, or from the episode given by file name or number from 1. Prints
// the cover's path when written.
int cover(const Workspace &workspace, const ProjectList &projects, const QStringList &arguments,
          const Output &out);

// `covers-missing`: every project whose cover is missing or the built-in
// one, with the progress lines on `out`.
int coversMissing(const Workspace &workspace, const ProjectList &projects, const Output &out);

} // namespace cover_commands
} // namespace tessaly
