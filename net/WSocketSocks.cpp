#include "net/WSocket.h"
#include "net/WSocketText.h"

TCustomSocksWSocket::TCustomSocksWSocket() { TCustomSocksWSocket::ResetToDefaults(); }

void TCustomSocksWSocket::ResetToDefaults() {
    TCustomWSocket::ResetToDefaults();
    socksState_ = SocksIdle;
    socksServer_.clear();
    socksPort_.clear();
    socksServerAssigned_ = socksPortAssigned_ = false;
    rcvdCnt_ = 0;
    rcvdPtr_ = 0;
}

void TCustomSocksWSocket::SetSocksServer(const std::string& Value) {
    if (State() != wsClosed) return ReportError("Can't change socks server if not closed");
    socksServer_ = net::Trim(Value);
    socksServerAssigned_ = !socksServer_.empty();
}

void TCustomSocksWSocket::SetSocksPort(const std::string& Value) {
    if (State() != wsClosed) return ReportError("Can't change socks port if not closed");
    socksPort_ = net::Trim(Value);
    socksPortAssigned_ = !socksPort_.empty();
}

void TCustomSocksWSocket::Connect() { TCustomWSocket::Connect(); }
void TCustomSocksWSocket::Listen() { TCustomWSocket::Listen(); }
int TCustomSocksWSocket::RcvdCount() { return TCustomWSocket::RcvdCount(); }
bool TCustomSocksWSocket::NotifyDataAvailable(std::uint16_t Error) { return TCustomWSocket::NotifyDataAvailable(Error); }
void TCustomSocksWSocket::NotifySessionConnected(std::uint16_t Error) { TCustomWSocket::NotifySessionConnected(Error); }
void TCustomSocksWSocket::NotifySessionClosed(std::uint16_t Error) { TCustomWSocket::NotifySessionClosed(Error); }
int TCustomSocksWSocket::RawReceive(void* Buffer, int BufferSize) { return TCustomWSocket::RawReceive(Buffer, BufferSize); }
void TCustomSocksWSocket::NotifySocksConnected(std::uint16_t Error) {
    if (OnSocksConnected) OnSocksConnected(this, Error);
}
void TCustomSocksWSocket::NotifySocksError(int Error, const std::string& Msg) {
    if (OnSocksError) OnSocksError(this, Error, Msg);
}
