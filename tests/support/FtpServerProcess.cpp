#include "tests/support/FtpServerProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

constexpr int kStartLimitMs = 15000;

// The loopback address of either family with `port`.
sockaddr_storage Loopback(bool ipv6, int port, socklen_t& length) {
    sockaddr_storage storage{};
    if (ipv6) {
        auto* address = reinterpret_cast<sockaddr_in6*>(&storage);
        address->sin6_family = AF_INET6;
        address->sin6_port = htons(static_cast<std::uint16_t>(port));
        address->sin6_addr = in6addr_loopback;
        length = sizeof *address;
    } else {
        auto* address = reinterpret_cast<sockaddr_in*>(&storage);
        address->sin_family = AF_INET;
        address->sin_port = htons(static_cast<std::uint16_t>(port));
        address->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        length = sizeof *address;
    }
    return storage;
}

bool PortAccepts(bool ipv6, int port) {
    const int fd = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    socklen_t length = 0;
    const sockaddr_storage address = Loopback(ipv6, port, length);
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

int FindFreePort(bool ipv6) {
    const int fd = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    socklen_t length = 0;
    sockaddr_storage address = Loopback(ipv6, 0, length);
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
    ::close(fd);
    return port;
}

bool LoopbackIpv6Available() { return FindFreePort(true) != 0; }

FtpServerProcess::FtpServerProcess(std::string name, std::string user, std::string password, std::string wrongPassword)
    : name_(std::move(name)), user_(std::move(user)), password_(std::move(password)), wrongPassword_(std::move(wrongPassword)) {}

FtpServerProcess::~FtpServerProcess() { Stop(); }

bool FtpServerProcess::Start() {
    if (work_.Path().empty()) {
        error_ = name_ + ": cannot create a temporary folder";
        return false;
    }
    ::mkdir(Root().c_str(), 0777);
    ::chmod(Root().c_str(), 0777);
    port_ = FindFreePort(ipv6_);
    if (port_ == 0) {
        error_ = name_ + ": no free port on " + Host();
        return false;
    }
    const std::vector<std::string> command = Prepare();
    if (!error_.empty()) return false;
    if (command.empty() || ::access(command[0].c_str(), X_OK) != 0) {
        error_ = name_ + ": server program " + (command.empty() ? std::string("?") : command[0]) +
                 " not found or not executable; install it (see the CI package list)";
        return false;
    }
    const std::string log = work_.File("server.log");
    pid_ = ::fork();
    if (pid_ == 0) {
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out >= 0) {
            ::dup2(out, 1);
            ::dup2(out, 2);
        }
        ::setpgid(0, 0);
        // A test that crashes or is killed takes its server with it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        std::vector<char*> argv;
        for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (pid_ < 0) {
        error_ = name_ + ": fork failed";
        return false;
    }
    return WaitUntilAccepting();
}

bool FtpServerProcess::WaitUntilAccepting() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartLimitMs);
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error_ = name_ + " exited at start-up: " + ServerLog();
            return false;
        }
        if (PortAccepts(ipv6_, port_)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    error_ = name_ + " did not accept connections on port " + std::to_string(port_) + ": " + ServerLog();
    Stop();
    return false;
}

void FtpServerProcess::Stop() {
    if (pid_ <= 0) return;
    ::kill(-pid_, SIGKILL);
    ::kill(pid_, SIGKILL);
    int status = 0;
    (void)::waitpid(pid_, &status, 0);
    pid_ = -1;
}

std::string FtpServerProcess::ServerLog() const { return ReadFile(work_.File("server.log")); }
