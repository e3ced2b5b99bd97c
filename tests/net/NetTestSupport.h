#pragma once
// Loopback peers and bounded waits shared by the socket tests. Peers are plain
// blocking POSIX sockets, so they never depend on the code under test.

#include <netinet/in.h>

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
void PumpFor(int ms);

// A plain listening socket on 127.0.0.1 with a kernel-chosen port.
class RawListener {
public:
    RawListener();
    ~RawListener();
    std::uint16_t Port() const { return port_; }
    std::string PortText() const { return std::to_string(port_); }
    // One connection, pumping our loop meanwhile (or blocking, for peer
    // threads); -1 on timeout.
    int Accept(bool pump = true, int ms = 5000);

private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

// Points `socket` at the listener, connects and pumps until connected.
// Returns the accepted peer handle, or -1.
int ConnectPumping(TCustomWSocket& socket, RawListener& listener);
int RawConnect(std::uint16_t port);  // a blocking client; -1 on failure
bool WriteAll(int fd, const std::string& bytes);
// Reads until `count` bytes, end of stream or `ms` pass; pumps our loop while
// it waits (so the socket under test keeps sending) unless called from a peer.
std::string Read(int fd, std::size_t count, int ms = 5000, bool pump = true);
void ResetClose(int fd);  // an immediate reset instead of a graceful close
std::uint16_t ClosedPort();  // bound, then released: nobody listens
void Echo(int fd);  // echoes until end of stream or 5 s of silence

// A one-connection peer driven by a script on its own thread, for protocol
// behaviour no real server shows. The script gets the accepted handle.
class ScriptedPeer {
public:
    explicit ScriptedPeer(std::function<void(int fd)> script);
    ~ScriptedPeer();
    std::string PortText() const { return listener_.PortText(); }

private:
    RawListener listener_;
    std::thread thread_;
};

// Everything a socket raised, in order, as short texts ("connected 0",
// "state connecting->connected", "closed 0 in closed", "data", ...).
struct EventLog {
    std::vector<std::string> events;
    std::string received;
    // The data handler reads `readSize` bytes per call; 0 binds none.
    void Attach(TCustomWSocket& socket, int readSize = 4096);
    void AttachSocks(TCustomSocksWSocket& socket);
    int Count(const std::string& event) const;
};

// A socket connected to a plain peer, with its events logged.
struct Link {
    RawListener listener;
    TWSocket socket;
    EventLog log;
    int peer = -1;
    // Connects and waits for the first OnDataSent.
    void Open(int readSize = 4096);
    void ClosePeer(bool reset = false);
    ~Link();
};

// The text of the ESocketException `action` throws, or "(no error)".
std::string ErrorOf(const std::function<void()>& action);

}  // namespace nettest
