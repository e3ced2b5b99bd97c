// EPSV and EPRT (RFC 2428). EPSV is asked for when the server lists it in
// FEAT or the session runs over IPv6 (where PASV has no answer); a refusal
// falls back to PASV for the rest of the session. Active mode over IPv6
// needs EPRT; over IPv4 PORT stays, as every server knows it.
#include "ftp/FtpDataAddress.h"
#include "ftp/Ftpcli.h"

bool TCustomFtpCli::UseEpsv() const { return !epsvRefused_ && (features_.Has("EPSV") || controlSocket_->IsIPv6()); }

void TCustomFtpCli::BeginEpsv() {
    if (!inSequence_) requestType_ = ftpReqPort;
    doneSignalled_ = false;
    stepCallback_ = nullptr;
    currentStep_ = TFtpStep::Port;
    SendSessionCommand("EPSV", &TCustomFtpCli::EpsvReply);
}

void TCustomFtpCli::EpsvReply() {
    if (!TakeFinalReply()) return;
    if (statusCode_ == 229) {
        savedPasvReply_ = lastResponse_;
        resultCode_ = 0;
        fNext_ = nullptr;
        FinishStep(0);
        return;
    }
    if (statusCode_ < 500 || controlSocket_->IsIPv6()) {
        // A temporary refusal, or IPv6 where PASV cannot help: the request
        // fails as any refused data-port command does.
        RecordFailure();
        resultCode_ = statusCode_;
        fNext_ = nullptr;
        FinishStep(static_cast<std::uint16_t>(statusCode_));
        return;
    }
    epsvRefused_ = true;
    acceptedCodes_ = {227};
    fNext_ = &TCustomFtpCli::CommonReplyHandler;
    SendCommand("PASV");
}

std::string TCustomFtpCli::ActivePortCommand(int ListenPort) { return EprtCommand(dataSocket_->LocalAddressText(), ListenPort); }
