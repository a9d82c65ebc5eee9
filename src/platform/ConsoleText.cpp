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

void writeToConsole(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = (isatty(fileno(stream)) ? withoutTerminalControls(text) : text).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace tessaly
