// A stream of short lines through line mode on a loopback connection. The
// time per byte must stay flat as the stream grows: held bytes are never
// rescanned or shifted once per line.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>

#include "net/WSocket.h"
#include "platform/MessageLoop.h"

namespace {

std::string ShortLines(std::size_t bytes) {
    std::string text;
    text.reserve(bytes + 32);
    char line[32];
    for (unsigned n = 0; text.size() < bytes; ++n) {
        const int length = std::snprintf(line, sizeof line, "%u ok\r\n", n);
        text.append(line, static_cast<std::size_t>(length));
    }
    return text;
}

int ListenLoopback(std::uint16_t& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    (void)bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    (void)listen(fd, 1);
    socklen_t length = sizeof address;
    (void)getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

void BM_LineModeShortLines(benchmark::State& state) {
    const std::string stream = ShortLines(static_cast<std::size_t>(state.range(0)) << 20);
    std::size_t lines = 0;
    for (char c : stream) lines += c == '\n';
    for (auto _ : state) {
        std::uint16_t port = 0;
        const int listener = ListenLoopback(port);
        std::thread writer([&] {
            pollfd p{listener, POLLIN, 0};
            if (poll(&p, 1, 5000) != 1) return;
            const int fd = accept(listener, nullptr, nullptr);
            std::size_t done = 0;
            while (done < stream.size()) {
                const ssize_t n = send(fd, stream.data() + done, stream.size() - done, MSG_NOSIGNAL);
                if (n <= 0) break;
                done += static_cast<std::size_t>(n);
            }
            close(fd);
        });
        TWSocket socket;
        socket.SetLineMode(true);
        std::size_t got = 0;
        bool closed = false;
        socket.OnDataAvailable = [&](TCustomWSocket* s, std::uint16_t) {
            char line[64];
            if (s->Receive(line, sizeof line) > 0) ++got;
        };
        socket.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t) { closed = true; };
        socket.SetAddr("127.0.0.1");
        socket.SetPort(std::to_string(port));
        socket.Connect();
        for (int waited = 0; !closed && waited < 60000; waited += 10) {
            platform::ProcessMessages();
            if (!closed) (void)platform::WaitMessage(10);
        }
        writer.join();
        close(listener);
        if (got != lines) state.SkipWithError("lines lost");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(stream.size()));
    state.counters["lines"] = static_cast<double>(lines);
}

}  // namespace

BENCHMARK(BM_LineModeShortLines)->Arg(1)->Arg(4)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
