#pragma once
// Loopback peers and bounded waits shared by the socket tests. Peers are plain
// blocking POSIX sockets, so they never depend on the code under test.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "net/WSocket.h"
#include "tests/support/TempDir.h"

namespace nettest {

// Pumps the message loop until `done` holds or `ms` pass; false on timeout.
bool PumpUntil(const std::function<bool()>& done, int ms = 5000);
// Pumps for `ms` milliseconds whatever happens.
void PumpFor(int ms);

sockaddr_in Loopback(std::uint16_t port);

// A plain listening socket on 127.0.0.1 with a kernel-chosen port.
class RawListener {
public:
    RawListener();
    ~RawListener();
    std::uint16_t Port() const { return port_; }
    std::string PortText() const { return std::to_string(port_); }
    // Accepts one connection, pumping our loop meanwhile; -1 on timeout.
    int AcceptPumping(int ms = 5000);
    // Blocking accept for peer threads; -1 on timeout.
    int AcceptBlocking(int ms = 5000);

private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

// Points `socket` at the listener, connects, accepts the peer and pumps until
// the socket is connected. Returns the peer's handle, or -1.
int ConnectPumping(TCustomWSocket& socket, RawListener& listener);

// A plain blocking client connection to 127.0.0.1:port; -1 on failure.
int RawConnect(std::uint16_t port);
// Writes everything or fails.
bool WriteAll(int fd, const std::string& bytes);
// Reads until `count` bytes, end of stream or `ms` pass (pumping our loop
// while it waits, so the socket under test keeps sending).
std::string ReadPumping(int fd, std::size_t count, int ms = 5000);
// Closes with an immediate reset instead of a graceful close.
void ResetClose(int fd);
// A port nobody listens on (bound, then released).
std::uint16_t ClosedPort();

// Reads exactly `count` bytes with a blocking socket (for peer threads);
// fewer on end of stream or after `ms`.
std::string ReadExactly(int fd, std::size_t count, int ms = 5000);

// Echoes every byte back, one connection after another, on its own thread.
class EchoServer {
public:
    EchoServer();
    ~EchoServer();
    std::uint16_t Port() const { return listener_.Port(); }

private:
    RawListener listener_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A one-connection peer driven by a script on its own thread, for protocol
// behaviour no real server shows. The script gets the accepted handle.
class ScriptedPeer {
public:
    explicit ScriptedPeer(std::function<void(int fd)> script);
    ~ScriptedPeer();
    std::uint16_t Port() const { return listener_.Port(); }
    std::string PortText() const { return listener_.PortText(); }

private:
    RawListener listener_;
    std::thread thread_;
};

// Everything a socket raised, in order, as short texts ("connected 0",
// "state 4->7", "closed 0", "data", ...).
struct EventLog {
    std::vector<std::string> events;
    std::string received;
    void Attach(TCustomWSocket& socket, bool readData = true);
    void AttachSocks(TCustomSocksWSocket& socket);
    int Count(const std::string& event) const;
    int IndexOf(const std::string& event) const;
};

}  // namespace nettest
