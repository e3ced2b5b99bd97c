#include "tests/tools/VftpProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

std::string allProxy;

// In the child: the private home, then vftp. Never returns.
[[noreturn]] void ExecVftp(const std::vector<std::string>& args, const std::string& folder, const std::string& home) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    setenv("HOME", home.c_str(), 1);
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"}) unsetenv(variable);
    setenv("XDG_CONFIG_DIRS", (home + "/no-system-settings").c_str(), 1);
    for (const char* variable : {"ALL_PROXY", "all_proxy"}) unsetenv(variable);
    if (!allProxy.empty()) setenv("ALL_PROXY", allProxy.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(VFTP_EXECUTABLE)};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(VFTP_EXECUTABLE, argv.data());
    _exit(127);
}

// Appends what `fd` has to `text`; false once it is closed (or, for a
// terminal whose other side has gone, fails).
bool Drain(int fd, std::string& text) {
    char buffer[65536];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) return false;
    text.append(buffer, static_cast<std::size_t>(n));
    return true;
}

int Reap(pid_t pid, bool killed) {
    if (killed) kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    return killed ? -1 : (WIFEXITED(status) ? WEXITSTATUS(status) : -1);
}

}  // namespace

void SetVftpAllProxy(const std::string& value) { allProxy = value; }

Outcome RunVftp(const std::vector<std::string>& args, const std::string& folder, const std::string& home, int seconds) {
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDONLY);
        dup2(null, 0);
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        close(outPipe[0]);
        close(errPipe[0]);
        ExecVftp(args, folder, home);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    Outcome outcome;
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    int open = 2;
    while (open > 0 && Clock::now() < deadline) {
        if (poll(fds, 2, 200) <= 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
            if (!Drain(fds[i].fd, i == 0 ? outcome.out : outcome.err)) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (auto& fd : fds)
        if (fd.fd >= 0) close(fd.fd);
    outcome.status = Reap(pid, open > 0);
    return outcome;
}

Outcome RunVftpOnTerminal(const std::vector<std::string>& args, const std::string& folder, const std::string& home,
                          const std::string& prompt, const std::string& typed, bool* echoWasOn, int seconds) {
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid < 0) return {};
    if (pid == 0) ExecVftp(args, folder, home);
    Outcome outcome;
    bool answered = false;
    bool open = true;
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    while (open && Clock::now() < deadline) {
        pollfd fd{terminal, POLLIN, 0};
        if (poll(&fd, 1, 200) <= 0) continue;
        open = Drain(terminal, outcome.err);
        if (!answered && outcome.err.find(prompt) != std::string::npos) {
            termios settings{};
            if (echoWasOn != nullptr) *echoWasOn = tcgetattr(terminal, &settings) != 0 || (settings.c_lflag & ECHO) != 0;
            const std::string line = typed + "\n";
            answered = write(terminal, line.data(), line.size()) == static_cast<ssize_t>(line.size());
        }
    }
    close(terminal);
    outcome.status = Reap(pid, open);
    return outcome;
}
