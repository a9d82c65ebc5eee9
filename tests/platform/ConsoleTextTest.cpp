#include "platform/ConsoleText.h"

#include <QByteArray>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using tessaly::withoutTerminalControls;
using tessaly::writeToConsole;

namespace {

// What the other end of `fd` receives, up to `size` bytes; a terminal hands
// written bytes on a little later, so this waits for them.
QByteArray received(int fd, qsizetype size)
{
    QByteArray bytes;
    pollfd ready{fd, POLLIN, 0};
    char buffer[256];
    while (bytes.size() < size && poll(&ready, 1, 5000) > 0) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.append(buffer, n);
    }
    return bytes;
}

} // namespace

TEST(TerminalText, ControlCharactersBecomeQuestionMarks)
{
    // An escape sequence that would retitle the terminal, and the one-character
    // control introducer some terminals also obey.
    EXPECT_EQ(withoutTerminalControls(QStringLiteral("电影\x1b]0;pwned\x07/a\u009b31m")),
              QStringLiteral("电影?]0;pwned?/a?31m"));
    EXPECT_EQ(withoutTerminalControls(QStringLiteral("\x1f\x7f\u0080\u009f")), QStringLiteral("????"));
    // A carriage return counts as part of a line end only directly before one.
    EXPECT_EQ(withoutTerminalControls(QStringLiteral("a\rb\r\r\nc\r")), QStringLiteral("a?b?\r\nc?"));
}

TEST(TerminalText, PrintableTextTabsAndLineEndsStay)
{
    const QString text = QStringLiteral("路径\tC:\\片 ~\u00a0\u00ff\r\n第二行\n");
    EXPECT_EQ(withoutTerminalControls(text), text);
}

TEST(TerminalText, OnlyATerminalGetsTheSafeText)
{
    const QString text = QStringLiteral("名\x1b[2J\r\n");

    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    std::FILE *pipeStream = fdopen(pipeEnds[1], "w");
    writeToConsole(pipeStream, text);
    std::fclose(pipeStream);
    EXPECT_EQ(received(pipeEnds[0], 100), text.toUtf8());
    close(pipeEnds[0]);

    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        GTEST_SKIP() << "no pseudo-terminal";
    const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
    if (terminal < 0)
        GTEST_SKIP() << "no pseudo-terminal";
    termios raw{};
    tcgetattr(terminal, &raw);
    cfmakeraw(&raw);
    tcsetattr(terminal, TCSANOW, &raw);
    std::FILE *terminalStream = fdopen(terminal, "w");
    writeToConsole(terminalStream, text);
    const QByteArray expected = QStringLiteral("名?[2J\r\n").toUtf8();
    EXPECT_EQ(received(master, expected.size()), expected);
    std::fclose(terminalStream);
    close(master);
}
