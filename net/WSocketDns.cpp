// Asynchronous lookups of TCustomWSocket and the blocking resolvers.
#include <arpa/inet.h>

#include <cctype>

#include "net/WSocket.h"
#include "net/WSocketText.h"

// ---- asynchronous lookups ----------------------------------------------------

// Empty names are refused; otherwise any pending lookup is dropped silently
// and the previous results are cleared. False when the caller must stop.
bool TCustomWSocket::StartLookupCommon(const std::string& Name) {
    if (Name.empty()) {
        const auto alive = AliveToken();
        ReportError("DNS lookup: invalid host name.");
        if (!alive.expired()) NotifyDnsLookupDone(platform::WSAEINVAL);
        return false;
    }
    if (lookupHandle_ != 0) (void)platform::WSACancelAsyncRequest(lookupHandle_);
    lookupHandle_ = 0;
    dnsResult_.clear();
    dnsResultList_.clear();
    dnsResultAll_.clear();
    return true;
}

void TCustomWSocket::StartDnsLookup(const std::string& HostName) {
    if (!StartLookupCommon(HostName)) return;
    const std::uint32_t address = platform::WsInetAddr(HostName.c_str());
    if (address != INADDR_NONE || HostName == "255.255.255.255") {
        dnsResult_ = platform::WsInetNtoa(address);
        dnsResultAll_ = {dnsResult_};
        NotifyDnsLookupDone(0);
        return;
    }
    if (sockaddr_in6 v6{}; platform::WsInet6Addr(HostName, v6)) {
        // Kept as written (a zone name stays readable); brackets go.
        dnsResult_ = HostName.front() == '[' ? HostName.substr(1, HostName.size() - 2) : HostName;
        dnsResultAll_ = {dnsResult_};
        NotifyDnsLookupDone(0);
        return;
    }
    lookupHandle_ = platform::WSAAsyncGetHostByName(window_->Handle(), LookupDoneMessage, HostName);
    if (lookupHandle_ == 0)
        ReportErrorFmt("%s: can't start DNS lookup, error #%d", HostName.c_str(), platform::WSAGetLastError());
}

void TCustomWSocket::StartReverseDnsLookup(const std::string& HostAddr) {
    if (!StartLookupCommon(HostAddr)) return;
    const std::uint32_t address = platform::WsInetAddr(HostAddr.c_str());
    lookupHandle_ = platform::WSAAsyncGetHostByAddr(window_->Handle(), ReverseLookupDoneMessage, address);
    if (lookupHandle_ == 0)
        ReportErrorFmt("%s: can't start DNS lookup, error #%d", HostAddr.c_str(), platform::WSAGetLastError());
}

void TCustomWSocket::CancelLookup() {
    if (lookupHandle_ == 0) return;
    const int result = platform::WSACancelAsyncRequest(lookupHandle_);
    lookupHandle_ = 0;
    if (result != 0) return ReportSocketError("WSACancelAsyncRequest");
    if (!destroying_) NotifyDnsLookupDone(platform::WSAEINTR);
}

void TCustomWSocket::HandleLookupDone(platform::WParam Task, platform::LParam Result, bool Reverse) {
    const auto task = static_cast<platform::LookupHandle>(Task);
    if (task == 0 || task != lookupHandle_) return;
    lookupHandle_ = 0;
    const std::uint16_t error = platform::HighWord(Result);
    platform::HostRecord record;
    if (error == 0 && platform::TakeLookupResult(task, record)) {
        if (Reverse) {
            dnsResultList_.push_back(record.name);
        } else {
            for (const std::uint32_t address : record.addresses) dnsResultList_.push_back(platform::WsInetNtoa(address));
            dnsResultAll_ = record.allAddresses;
        }
        if (!dnsResultList_.empty()) dnsResult_ = dnsResultList_.front();
    }
    NotifyDnsLookupDone(error);
}

// ---- blocking resolvers ------------------------------------------------------

namespace {

bool StartsWithDigit(const std::string& Text) { return !Text.empty() && std::isdigit(static_cast<unsigned char>(Text[0])); }

// The number formed by the leading decimal digits; what follows is ignored.
unsigned long LeadingNumber(const std::string& Text) {
    unsigned long value = 0;
    for (const char c : Text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) break;
        value = (value * 10 + static_cast<unsigned long>(c - '0')) % 0x100000000UL;
    }
    return value;
}

}  // namespace

std::uint32_t WSocketResolveHost(const std::string& InAddr) {
    if (InAddr.empty() || InAddr.size() > 256) throw ESocketException("WSocketResolveHost: Invalid Hostname.");
    WinsockStarted = true;
    const std::string name = net::Trim(InAddr);
    const std::uint32_t address = platform::WsInetAddr(name.c_str());
    if (address != INADDR_NONE || name == "255.255.255.255") return address;
    const std::vector<std::uint32_t> found = platform::BlockingHostAddresses(name);
    if (found.empty()) throw ESocketException("WSocketResolveHost: Cannot convert host address '" + InAddr + "'");
    return found.front();
}

std::uint16_t WSocketResolvePort(const std::string& Port, const std::string& Proto) {
    if (Port.empty() || Port.size() >= 32) throw ESocketException("WSocketResolvePort: Invalid Port.");
    WinsockStarted = true;
    if (StartsWithDigit(Port)) return static_cast<std::uint16_t>(LeadingNumber(Port) % 65536);
    const std::string service = net::Trim(Port);
    const int port = platform::BlockingServicePort(service, net::Trim(Proto));
    if (port < 0) throw ESocketException("WSocketResolvePort: Cannot convert port '" + Port + "'");
    return static_cast<std::uint16_t>(port);
}

int WSocketResolveProto(const std::string& Proto) {
    if (Proto.empty() || Proto.size() >= 32) throw ESocketException("WSocketResolveProto: Invalid Protocol.");
    WinsockStarted = true;
    const std::string name = net::Trim(Proto);
    if (StartsWithDigit(name)) return static_cast<int>(LeadingNumber(name) & 0x7FFFFFFF);
    const int number = platform::BlockingProtocolNumber(name);
    if (number < 0) throw ESocketException("WSocketResolveProto: Cannot convert protocol '" + Proto + "'");
    return number;
}
