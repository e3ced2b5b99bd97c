#include "tools/vftp/PasswordPrompt.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <iterator>

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
termios savedTerminal;

// Echo back on, then die of the signal as if nothing had caught it.
void RestoreAndReraise(int signal) {
    (void)tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    (void)sigaction(signal, &plain, nullptr);
    (void)raise(signal);
}

void WriteAll(int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

// One line from standard input without its line end; nothing at a bare end.
std::optional<std::string> ReadLine() {
    std::string line;
    for (char c;;) {
        const ssize_t n = read(STDIN_FILENO, &c, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return line.empty() ? std::nullopt : std::optional(line);
        if (c == '\n') return line;
        if (c != '\r') line += c;
    }
}

}  // namespace

std::optional<std::string> AskPassword(const std::string& prompt) {
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &savedTerminal) != 0) return std::nullopt;
    const int tty = open("/dev/tty", O_WRONLY | O_CLOEXEC);
    const int out = tty >= 0 ? tty : STDERR_FILENO;
    struct sigaction handler {};
    handler.sa_handler = RestoreAndReraise;
    struct sigaction previous[std::size(kSignals)];
    for (std::size_t i = 0; i < std::size(kSignals); ++i) (void)sigaction(kSignals[i], &handler, &previous[i]);

    termios quiet = savedTerminal;
    quiet.c_lflag &= static_cast<tcflag_t>(~(ECHO | ECHOE | ECHOK | ECHONL));
    // Echo goes off before the prompt shows: what is typed after it never echoes.
    (void)tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    WriteAll(out, prompt);
    const auto line = ReadLine();
    (void)tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    WriteAll(out, "\n");

    for (std::size_t i = 0; i < std::size(kSignals); ++i) (void)sigaction(kSignals[i], &previous[i], nullptr);
    if (tty >= 0) close(tty);
    return line;
}
