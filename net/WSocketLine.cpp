#include "net/WSocket.h"

TCustomLineWSocket::TCustomLineWSocket() = default;

platform::LParam TCustomLineWSocket::HandleMessage(std::uint32_t Msg, platform::WParam wParam, platform::LParam lParam) {
    return TCustomSocksWSocket::HandleMessage(Msg, wParam, lParam);
}
void TCustomLineWSocket::SetLineMode(bool Value) { lineMode_ = Value; }
bool TCustomLineWSocket::NotifyDataAvailable(std::uint16_t Error) { return TCustomSocksWSocket::NotifyDataAvailable(Error); }
void TCustomLineWSocket::NotifySessionClosed(std::uint16_t Error) { TCustomSocksWSocket::NotifySessionClosed(Error); }
int TCustomLineWSocket::RawReceive(void* Buffer, int BufferSize) { return TCustomSocksWSocket::RawReceive(Buffer, BufferSize); }
