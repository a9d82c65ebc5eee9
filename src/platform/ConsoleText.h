#pragma once

#include <QString>
#include <QtGlobal>
#include <cstdio>

namespace tessaly {

// What a terminal is shown of `text`: every control character that could
// move, retitle or recolour it (below U+0020 except tab, line feed and a
// carriage return directly before a line feed, and U+007F to U+009F)
// becomes "?". Names and paths come from files and folders anyone may have
// made, so they never reach a terminal raw.
QString withoutTerminalControls(const QString &text);

// Writes `text` as UTF-8: unchanged to a file or pipe, through
// withoutTerminalControls to a terminal. Each stream is asked on its own.
// Flushed at once but for standard output to a file or pipe, which is
// flushed before standard error is written and at exit.
void writeToConsole(std::FILE *stream, const QString &text);
// The same for one line, which gets its line feed.
void writeLineToConsole(std::FILE *stream, const QString &line);
// A message handler for Qt's own warnings, which can quote a path too: they
// go to standard error the same way.
void writeQtMessageToConsole(QtMsgType type, const QMessageLogContext &context, const QString &message);

} // namespace tessaly
