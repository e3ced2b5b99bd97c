#include "tests/support/ScriptedFtpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace {

constexpr int kStepLimitMs = 10000;
constexpr int kSliceMs = 20;

int ListenLoopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 4) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

// Waits for `events` on fd in short slices so that Stop() is noticed.
int PollFor(int fd, short events, int milliseconds, const std::atomic<bool>& stop) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!stop) {
        pollfd item{fd, events, 0};
        const int ready = ::poll(&item, 1, kSliceMs);
        if (ready > 0) return item.revents;
        if (ready < 0 && errno != EINTR) return -1;
        if (std::chrono::steady_clock::now() >= end) return 0;
    }
    return 0;
}

// Test logs never show a password in clear.
std::string Masked(const std::string& line) { return line.compare(0, 5, "PASS ") == 0 ? "PASS *****" : line; }

int AcceptWithin(int listenFd, int milliseconds, const std::atomic<bool>& stop) {
    if (PollFor(listenFd, POLLIN, milliseconds, stop) <= 0) return -1;
    return ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
}

}  // namespace

ScriptedFtpServer::ScriptedFtpServer() = default;

ScriptedFtpServer::~ScriptedFtpServer() { Stop(); }

ScriptedFtpServer& ScriptedFtpServer::Send(std::string bytes) {
    steps_.push_back({Kind::Send, std::move(bytes), 0});
    return *this;
}
ScriptedFtpServer& ScriptedFtpServer::Expect(std::string line) {
    steps_.push_back({Kind::Expect, std::move(line), 0});
    return *this;
}
ScriptedFtpServer& ScriptedFtpServer::Reply(std::string line, std::string reply) {
    Expect(std::move(line));
    return Send(reply + "\r\n");
}
ScriptedFtpServer& ScriptedFtpServer::Pause(int milliseconds) {
    steps_.push_back({Kind::Pause, {}, milliseconds});
    return *this;
}
ScriptedFtpServer& ScriptedFtpServer::Close() {
    steps_.push_back({Kind::Close, {}, 0});
    return *this;
}
ScriptedFtpServer& ScriptedFtpServer::AcceptAgain() {
    steps_.push_back({Kind::AcceptAgain, {}, 0});
    return *this;
}
ScriptedFtpServer& ScriptedFtpServer::Silence(int milliseconds) {
    steps_.push_back({Kind::Silence, {}, milliseconds});
    return *this;
}
ScriptedFtpServer& ScriptedFtpServer::PasvReply() {
    steps_.push_back({Kind::PasvReply, {}, 0});
    return *this;
}
ScriptedFtpServer& ScriptedFtpServer::DataAccept() {
    steps_.push_back({Kind::DataAccept, {}, 0});
    return *this;
}
ScriptedFtpServer& ScriptedFtpServer::DataSend(std::string bytes) {
    steps_.push_back({Kind::DataSend, std::move(bytes), 0});
    return *this;
}
ScriptedFtpServer& ScriptedFtpServer::DataClose() {
    steps_.push_back({Kind::DataClose, {}, 0});
    return *this;
}
ScriptedFtpServer& ScriptedFtpServer::DataReset() {
    steps_.push_back({Kind::DataReset, {}, 0});
    return *this;
}
ScriptedFtpServer& ScriptedFtpServer::DataReceiveAll() {
    steps_.push_back({Kind::DataReceiveAll, {}, 0});
    return *this;
}

ScriptedFtpServer& ScriptedFtpServer::StartTls() {
    steps_.push_back({Kind::StartTls, {}, 0});
    return *this;
}
ScriptedFtpServer& ScriptedFtpServer::DataTls() {
    steps_.push_back({Kind::DataTls, {}, 0});
    return *this;
}
ScriptedFtpServer& ScriptedFtpServer::DataCut() {
    steps_.push_back({Kind::DataCut, {}, 0});
    return *this;
}

bool ScriptedFtpServer::Start() {
    for (const Step& step : steps_)
        if (step.kind == Kind::Expect && step.text.rfind("FEAT", 0) == 0) featScripted_ = true;
    listenFd_ = ListenLoopback(port_);
    if (listenFd_ < 0) {
        Fail(std::string("cannot listen on 127.0.0.1: ") + std::strerror(errno));
        return false;
    }
    thread_ = std::thread([this] { Run(); });
    return true;
}

bool ScriptedFtpServer::WaitDone(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done_ && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return done_;
}

void ScriptedFtpServer::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    CloseFd(dataFd_);
    CloseFd(dataListenFd_);
    CloseFd(controlFd_);
    CloseFd(listenFd_);
}

std::vector<std::string> ScriptedFtpServer::Lines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
}

std::string ScriptedFtpServer::Failure() {
    std::lock_guard<std::mutex> lock(mutex_);
    return failure_;
}

std::string ScriptedFtpServer::DataReceived() {
    std::lock_guard<std::mutex> lock(mutex_);
    return data_;
}

void ScriptedFtpServer::Run() {
    controlFd_ = AcceptWithin(listenFd_, kStepLimitMs, stop_);
    if (controlFd_ < 0) {
        Fail("no client connected");
    } else {
        for (const Step& step : steps_) {
            if (stop_ || !RunStep(step)) break;
        }
    }
    done_ = true;
    // Keep recording what the client sends after the script until told to stop.
    std::string line;
    while (!stop_ && controlFd_ >= 0 && ReadLine(line, kSliceMs * 5)) Record(line);
}

bool ScriptedFtpServer::RunStep(const Step& step) {
    switch (step.kind) {
        case Kind::Send: return SendOn(controlFd_, controlTls_, step.text);
        case Kind::Expect: {
            std::string line;
            if (!ReadLine(line, kStepLimitMs)) {
                Fail("expected \"" + Masked(step.text) + "\", got nothing");
                return false;
            }
            const bool prefix = !step.text.empty() && step.text.back() == '*';
            const std::string want = prefix ? step.text.substr(0, step.text.size() - 1) : step.text;
            const bool matches = prefix ? line.compare(0, want.size(), want) == 0 : line == want;
            Record(line);
            if (!matches) {
                Fail("expected \"" + Masked(step.text) + "\", got \"" + Masked(line) + "\"");
                return false;
            }
            return true;
        }
        case Kind::Pause: PauseAnsweringFeat(step.milliseconds); return true;
        case Kind::Close:
            controlTls_.Drop();
            CloseFd(controlFd_);
            return true;
        case Kind::AcceptAgain:
            controlTls_.Drop();
            CloseFd(controlFd_);
            pending_.clear();
            controlFd_ = AcceptWithin(listenFd_, kStepLimitMs, stop_);
            if (controlFd_ < 0) Fail("no second client connected");
            return controlFd_ >= 0;
        case Kind::Silence: {
            std::string line;
            const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(step.milliseconds);
            while (!stop_ && std::chrono::steady_clock::now() < end) {
                if (ReadLine(line, kSliceMs))
                    Record(line);
                else if (controlFd_ < 0)
                    break;
            }
            return true;
        }
        case Kind::PasvReply: {
            int dataPort = 0;
            CloseFd(dataListenFd_);
            dataListenFd_ = ListenLoopback(dataPort);
            if (dataListenFd_ < 0) {
                Fail("cannot open the passive data listener");
                return false;
            }
            return SendOn(controlFd_, controlTls_,
                          "227 Entering Passive Mode (127,0,0,1," + std::to_string(dataPort / 256) + "," +
                              std::to_string(dataPort % 256) + ").\r\n");
        }
        case Kind::DataAccept:
            CloseFd(dataFd_);
            dataFd_ = AcceptWithin(dataListenFd_, kStepLimitMs, stop_);
            if (dataFd_ < 0) Fail("no data connection arrived");
            return dataFd_ >= 0;
        case Kind::DataSend: return SendOn(dataFd_, dataTls_, step.text);
        case Kind::DataClose:
            dataTls_.SendCloseNotify();
            dataTls_.Drop();
            CloseFd(dataFd_);
            return true;
        case Kind::StartTls:
        case Kind::DataTls:
        case Kind::DataCut: return RunTlsStep(step.kind);
        case Kind::DataReset: {
            linger option{1, 0};
            (void)::setsockopt(dataFd_, SOL_SOCKET, SO_LINGER, &option, sizeof option);
            dataTls_.Drop();
            CloseFd(dataFd_);
            return true;
        }
        case Kind::DataReceiveAll: {
            char chunk[65536];
            for (;;) {
                if (PollFor(dataFd_, POLLIN, kStepLimitMs, stop_) <= 0) {
                    Fail("data connection was not closed by the client");
                    return false;
                }
                const ssize_t got =
                    dataTls_.Active() ? dataTls_.Read(chunk, sizeof chunk) : ::recv(dataFd_, chunk, sizeof chunk, 0);
                if (got <= 0) break;
                std::lock_guard<std::mutex> lock(mutex_);
                data_.append(chunk, static_cast<std::size_t>(got));
            }
            dataTls_.SendCloseNotify();
            dataTls_.Drop();
            CloseFd(dataFd_);
            return true;
        }
    }
    return false;
}

bool ScriptedFtpServer::RunTlsStep(Kind kind) {
    if (kind == Kind::DataCut) {
        dataTls_.Drop();
        CloseFd(dataFd_);
        return true;
    }
    ScriptedTls& tls = kind == Kind::StartTls ? controlTls_ : dataTls_;
    if (tls.Accept(kind == Kind::StartTls ? controlFd_ : dataFd_)) return true;
    Fail(tls.Error());
    return false;
}

bool ScriptedFtpServer::ReadLine(std::string& line, int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        const std::size_t lf = pending_.find('\n');
        if (lf != std::string::npos) {
            line = pending_.substr(0, lf > 0 && pending_[lf - 1] == '\r' ? lf - 1 : lf);
            pending_.erase(0, lf + 1);
            if (line == "FEAT" && !featScripted_) {
                // A server of the old kind: FEAT is unknown to it, and the
                // script need not say so.
                if (!SendOn(controlFd_, controlTls_, "500 Unknown command.\r\n")) return false;
                continue;
            }
            return true;
        }
        if (controlFd_ < 0 || stop_) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        if (!controlTls_.HasPending() && PollFor(controlFd_, POLLIN, static_cast<int>(left.count()), stop_) <= 0) return false;
        char chunk[4096];
        const ssize_t got =
            controlTls_.Active() ? controlTls_.Read(chunk, sizeof chunk) : ::recv(controlFd_, chunk, sizeof chunk, 0);
        if (got <= 0) {
            controlTls_.Drop();
            CloseFd(controlFd_);
            return false;
        }
        pending_.append(chunk, static_cast<std::size_t>(got));
    }
}

// A pause still answers FEAT at once, as a server without extensions would;
// every other line waits for the script.
void ScriptedFtpServer::PauseAnsweringFeat(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    const auto left = [&end] {
        return static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count());
    };
    while (!featScripted_ && controlFd_ >= 0 && left() > 0 &&
           (controlTls_.HasPending() || PollFor(controlFd_, POLLIN, left(), stop_) > 0)) {
        char chunk[4096];
        const ssize_t got =
            controlTls_.Active() ? controlTls_.Read(chunk, sizeof chunk) : ::recv(controlFd_, chunk, sizeof chunk, 0);
        if (got <= 0) break;
        pending_.append(chunk, static_cast<std::size_t>(got));
        for (const char* feat : {"FEAT\r\n", "FEAT\n"}) {
            while (pending_.rfind(feat, 0) == 0) {
                pending_.erase(0, std::strlen(feat));
                if (!SendOn(controlFd_, controlTls_, "500 Unknown command.\r\n")) return;
            }
        }
    }
    if (left() > 0) (void)PollFor(-1, 0, left(), stop_);
}

bool ScriptedFtpServer::SendOn(int fd, ScriptedTls& tls, const std::string& bytes) {
    if (!tls.Active()) return SendAll(fd, bytes);
    if (tls.Write(bytes)) return true;
    Fail("TLS send failed");
    return false;
}

bool ScriptedFtpServer::SendAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        if (fd < 0) return false;
        const ssize_t put = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (put < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN && PollFor(fd, POLLOUT, kStepLimitMs, stop_) > 0) continue;
            Fail(std::string("send failed: ") + std::strerror(errno));
            return false;
        }
        sent += static_cast<std::size_t>(put);
    }
    return true;
}

void ScriptedFtpServer::Fail(const std::string& why) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (failure_.empty()) failure_ = why;
}

void ScriptedFtpServer::Record(const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back(Masked(line));
}

void ScriptedFtpServer::CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}
