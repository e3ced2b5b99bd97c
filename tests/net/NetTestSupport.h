#pragma once
// Loopback peers and bounded waits shared by the socket tests. Peers are plain
// blocking POSIX sockets, so they never depend on the code under test.

#include <netinet/in.h>
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "net/WSocket.h"
#include "tests/support/TempDir.h"

namespace nettest {

using Events = std::vector<std::string>;

// Pumps the message loop until `done` holds or `ms` pass; false on timeout.
bool PumpUntil(const std::function<bool()>& done, int ms = 5000);
inline void PumpFor(int ms) {
    (void)PumpUntil([] { return false; }, ms);
}

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
// A port nobody listens on (bound, then released).
inline std::uint16_t ClosedPort() { return RawListener().Port(); }

// Everything a socket raised, in order, as short texts ("connected 0",
// "state connecting->connected", "closed 0 in closed", "data", ...).
struct EventLog {
    Events events;
    Events reads;          // each Receive that returned bytes
    std::string received;  // all of them
    int readSize = 4096;   // what the data handler asks for; 0 reads nothing
    std::function<void()> afterRead;
    void Attach(TCustomWSocket& socket, bool readData = true);
    int Count(const std::string& event) const;
};

// A socket connected to a plain peer, with its events logged.
struct Link {
    RawListener listener;
    TWSocket socket;
    EventLog log;
    int peer = -1;
    // Connects and waits for the first OnDataSent.
    void Open(bool readData = true);
    void ClosePeer(bool reset = false) {
        reset ? ResetClose(peer) : (void)close(peer);
        peer = -1;
    }
    ~Link() {
        if (peer >= 0) close(peer);
    }
};

// The text of the ESocketException `action` throws, or "(no error)".
std::string ErrorOf(const std::function<void()>& action);

}  // namespace nettest
