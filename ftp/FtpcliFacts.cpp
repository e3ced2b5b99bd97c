// A file's facts and times (RFC 3659 MLST and MDTM, and MFMT from the
// draft servers follow, or SITE UTIME where only that is offered). The
// commands that exist only as extensions are sent only to a server that
// lists them in FEAT; to any other the request ends with 502 at once.
#include "ftp/Ftpcli.h"

void TCustomFtpCli::RefuseUnoffered(TFtpRequest Request, const std::string& Why) {
    CheckCanSend();
    if (!inSequence_) requestType_ = Request;
    fNext_ = nullptr;
    EndWithLocalFailure(502, "502 " + Why);
}

void TCustomFtpCli::BeginMachineFile() {
    TFtpRequestParameters next = NextParameters();
    RefuseLineBreak("HostFileName", next.HostFileName);
    if (!features_.Has("MLST")) return RefuseUnoffered(ftpReqMachineFile, "The server does not offer MLST");
    CheckCanSend();
    request_ = std::move(next);
    if (!inSequence_) requestType_ = ftpReqMachineFile;
    currentStep_ = TFtpStep::Mlst;
    remoteEntry_ = FtpRemoteEntry{};
    doneSignalled_ = false;
    resultCode_ = 0;
    SendSessionCommand("MLST " + request_.HostFileName, &TCustomFtpCli::MlstReply);
}

// The facts come on the reply's middle line, after a blank (RFC 3659 7.2).
void TCustomFtpCli::MlstReply() {
    if (!lineFinal_) {
        (void)TakeFinalReply();
        if (!lastResponse_.empty() && lastResponse_.front() == ' ') (void)ParseMlsdLine(lastResponse_, remoteEntry_);
        return;
    }
    if (!TakeFinalReply()) return;
    fNext_ = nullptr;
    resultCode_ = statusCode_ == 250 ? 0 : statusCode_;
    if (resultCode_ != 0) RecordFailure();
    FinishStep(static_cast<std::uint16_t>(resultCode_));
}

void TCustomFtpCli::BeginNoop() {
    CheckCanSend();
    currentStep_ = TFtpStep::Noop;
    // 421 is how servers announce an idle close: a failure, not a reply
    // below 500 that would pass.
    ExecuteCommand(ftpReqNoop, "NOOP", {200, 250});
}

void TCustomFtpCli::BeginFileTime() {
    TFtpRequestParameters next = NextParameters();
    RefuseLineBreak("HostFileName", next.HostFileName);
    CheckCanSend();
    request_ = std::move(next);
    currentStep_ = TFtpStep::Mdtm;
    remoteFileTime_.reset();
    ExecuteCommand(ftpReqFileTime, "MDTM " + request_.HostFileName, {213});
}

void TCustomFtpCli::BeginSetFileTime() {
    TFtpRequestParameters next = NextParameters();
    RefuseLineBreak("HostFileName", next.HostFileName);
    const std::string time = FormatFtpTime(next.FileTimeUtc);
    std::string command;
    if (features_.Has("MFMT")) {
        command = "MFMT " + time + " " + next.HostFileName;
    } else if (features_.HasLine("SITE UTIME")) {
        command = "SITE UTIME " + time + " " + next.HostFileName;
    } else {
        return RefuseUnoffered(ftpReqSetFileTime, "The server offers no way to set a file's time (MFMT, SITE UTIME)");
    }
    CheckCanSend();
    request_ = std::move(next);
    currentStep_ = TFtpStep::Mfmt;
    ExecuteCommand(ftpReqSetFileTime, command, {200, 213, 250});
}
