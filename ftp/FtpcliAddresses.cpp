// Reaching the server: each of its addresses in the resolver's order (IPv6
// and IPv4), the next one when an attempt fails or stays unanswered for the
// time-out, and the SOCKS 5 proxy in front of both connections.
#include "ftp/Ftpcli.h"

// Called from the socket's own connect event: the socket must be left alone
// until that event is over, so the next attempt starts from the loop.
bool TCustomFtpCli::PostNextAddress(std::uint16_t Error) {
    if (addressIndex_ + 1 >= addresses_.size()) return false;
    Display("! Cannot connect to " + addresses_[addressIndex_] + " (" + SocketErrorText(Error) + "): trying " +
            addresses_[addressIndex_ + 1]);
    DropControlAttempt();
    nextAddressPosted_ = true;
    (void)window_->Post(NextAddressMessage, 0, 0);
    return true;
}

bool TCustomFtpCli::TryNextAddress() {
    if (state_ != ftpStateConnecting || controlConnected_ || nextAddressPosted_) return false;
    if (addressIndex_ + 1 >= addresses_.size()) return false;
    Display("! No answer from " + addresses_[addressIndex_] + ": trying " + addresses_[addressIndex_ + 1]);
    DropControlAttempt();
    ConnectControlTo(addressIndex_ + 1);
    return true;
}

void TCustomFtpCli::DropControlAttempt() {
    switchingAddress_ = true;
    controlSocket_->Close();
    switchingAddress_ = false;
}

void TCustomFtpCli::ApplyProxy(TWSocket& Socket) const {
    if (SocksServer.empty()) return;
    Socket.SetSocksServer(SocksServer);
    Socket.SetSocksPort(SocksPort);
    const bool withUser = !SocksUsercode.empty();
    Socket.SetSocksAuthentication(withUser ? socksAuthenticateUsercode : socksNoAuthentication);
    Socket.SetSocksUsercode(SocksUsercode);
    Socket.SetSocksPassword(SocksPassword);
}

// The proxy looks the name up (it may see names this machine cannot), so
// the server's name goes to it as written, without a lookup here.
bool TCustomFtpCli::OpenThroughProxy() {
    if (SocksServer.empty() || SocksLocalLookup) return false;
    std::string host = HostName;
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    addresses_ = {host};
    ConnectControlTo(0);
    return true;
}
