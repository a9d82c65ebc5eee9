#include "platform/ConsoleText.h"

#include <unistd.h>

namespace tessaly {

QString withoutTerminalControls(const QString &text)
{
    QString safe = text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool lineEnd = c == u'\n' || (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n');
        if ((c < 0x20 && c != u'\t' && !lineEnd) || (c >= 0x7F && c <= 0x9F))
            safe[i] = u'?';
    }
    return safe;
}

namespace {

// Standard output and error are asked once: a run writes thousands of lines.
bool isTerminal(std::FILE *stream)
{
    static const bool output = isatty(STDOUT_FILENO);
    static const bool error = isatty(STDERR_FILENO);
    if (stream == stdout)
        return output;
    if (stream == stderr)
        return error;
    return isatty(fileno(stream));
}

} // namespace

void writeToConsole(std::FILE *stream, const QString &text)
{
    const bool terminal = isTerminal(stream);
    const QByteArray bytes = (terminal ? withoutTerminalControls(text) : text).toUtf8();
    // Standard output to a file or pipe keeps its buffer (a run's thousands
    // of lines would otherwise be as many system calls); it is flushed
    // before anything goes to standard error, so the two stay in order.
    if (stream == stderr)
        std::fflush(stdout);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    if (stream != stdout || terminal)
        std::fflush(stream);
}

void writeLineToConsole(std::FILE *stream, const QString &line)
{
    writeToConsole(stream, line + u'\n');
}

void writeQtMessageToConsole(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    writeLineToConsole(stderr, qFormatLogMessage(type, context, message));
}

} // namespace tessaly
