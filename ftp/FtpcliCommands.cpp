// Single commands: sending one command line, judging its reply, and the
// starting operations that send exactly one command.
#include <cctype>

#include "ftp/Ftpcli.h"

namespace {

void RefuseEmpty(const std::string& Value, const char* Message) {
    if (Value.empty()) throw FtpException(Message);
}

}  // namespace

void TCustomFtpCli::RefuseLineBreak(const char* Name, const std::string& Value) {
    if (Value.find_first_of("\r\n") != std::string::npos)
        throw FtpException(std::string(Name) + " contains a line break; refused");
}

void TCustomFtpCli::CheckCanSend() const {
    if (state_ != ftpStateReady && state_ != ftpStateBetweenSteps) throw FtpException("FTP component not ready");
    if (!controlConnected_) throw FtpException("FTP component not connected");
}

void TCustomFtpCli::ExecuteCommand(TFtpRequest Request, const std::string& Command, std::vector<int> Accepted, Handler Callback) {
    CheckCanSend();
    if (!inSequence_) requestType_ = Request;
    acceptedCodes_ = std::move(Accepted);
    doneSignalled_ = false;
    fNext_ = &TCustomFtpCli::CommonReplyHandler;
    stepCallback_ = Callback;
    if (!SetState(ftpStateWaitingReply)) return;
    SendCommand(Command);
}

void TCustomFtpCli::CommonReplyHandler() {
    if (!TakeFinalReply()) return;
    bool accepted = false;
    if (acceptedCodes_.empty()) {
        accepted = statusCode_ < 500;
    } else {
        for (const int code : acceptedCodes_) accepted = accepted || code == statusCode_;
    }
    resultCode_ = accepted ? 0 : statusCode_;
    if (!accepted) RecordFailure();
    if (Passive && statusCode_ == 227) savedPasvReply_ = lastResponse_;
    ParseReplyResults();
    if (stepCallback_ != nullptr) {
        (this->*stepCallback_)();
    } else {
        FinishStep(static_cast<std::uint16_t>(resultCode_));
    }
}

void TCustomFtpCli::ParseReplyResults() {
    if (resultCode_ != 0) return;
    switch (currentStep_) {
        case TFtpStep::Size: {
            std::size_t pos = 0;
            (void)ParseReplyNumber(lastResponse_, pos);
            remoteFileSize_ = ParseReplyNumber(lastResponse_, pos);
            break;
        }
        case TFtpStep::Cwd:
        case TFtpStep::Mkd:
        case TFtpStep::Pwd:
        case TFtpStep::Cdup: replyDirectory_ = ParseQuotedName(lastResponse_); break;
        case TFtpStep::Type: wireType_ = typeChar_; break;
        case TFtpStep::Quote: NoteQuotedType(); break;
        default: break;
    }
}

// A TYPE sent as a raw command changes how the next transfers' bytes look
// as much as one sent by BeginTransferType.
void TCustomFtpCli::NoteQuotedType() {
    if (statusCode_ / 100 != 2 || LocalFileName.size() < 6) return;
    std::string word = LocalFileName.substr(0, 5);
    for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (word != "TYPE ") return;
    const char type = static_cast<char>(std::toupper(static_cast<unsigned char>(LocalFileName[5])));
    wireType_ = type == 'L' ? 'I' : type;
}

void TCustomFtpCli::QuitDone() {
    // Completion comes from the close handler once the socket is closed.
    fNext_ = nullptr;
    CloseControl();
}

void TCustomFtpCli::BeginUser() {
    RefuseEmpty(UserName, "UserName empty");
    RefuseLineBreak("UserName", UserName);
    CheckCanSend();
    currentStep_ = TFtpStep::User;
    ExecuteCommand(ftpReqUser, "USER " + UserName, {331, 230});
}

void TCustomFtpCli::BeginPass() {
    RefuseEmpty(PassWord, "Password empty");
    RefuseLineBreak("PassWord", PassWord);
    CheckCanSend();
    currentStep_ = TFtpStep::Pass;
    ExecuteCommand(ftpReqPass, "PASS " + PassWord, {230});
}

void TCustomFtpCli::BeginCwd() {
    RefuseEmpty(HostDirName, "HostDirName empty");
    RefuseLineBreak("HostDirName", HostDirName);
    CheckCanSend();
    currentStep_ = TFtpStep::Cwd;
    ExecuteCommand(ftpReqCwd, "CWD " + HostDirName, {200, 250, 257});
}

void TCustomFtpCli::BeginCdup() {
    CheckCanSend();
    currentStep_ = TFtpStep::Cdup;
    // RFC 959 gives 200 for CDUP; many servers answer 250 as for CWD.
    ExecuteCommand(ftpReqCdup, "CDUP", {200, 250});
}

void TCustomFtpCli::BeginTransferType() {
    CheckCanSend();
    currentStep_ = TFtpStep::Type;
    ExecuteCommand(ftpReqType, std::string("TYPE ") + typeChar_, {200});
}

void TCustomFtpCli::BeginTypeBinary() {
    SetBinary(true);
    BeginTransferType();
}

void TCustomFtpCli::BeginTypeAscii() {
    SetBinary(false);
    BeginTransferType();
}

void TCustomFtpCli::BeginSyst() {
    CheckCanSend();
    currentStep_ = TFtpStep::Syst;
    ExecuteCommand(ftpReqSyst, "SYST", {215});
}

void TCustomFtpCli::BeginMkd() {
    RefuseLineBreak("HostFileName", HostFileName);
    CheckCanSend();
    currentStep_ = TFtpStep::Mkd;
    ExecuteCommand(ftpReqMkd, "MKD " + HostFileName, {257});
}

void TCustomFtpCli::BeginRmd() {
    RefuseLineBreak("HostFileName", HostFileName);
    CheckCanSend();
    currentStep_ = TFtpStep::Rmd;
    ExecuteCommand(ftpReqRmd, "RMD " + HostFileName, {250, 257});
}

void TCustomFtpCli::BeginRenameFrom() {
    RefuseLineBreak("HostFileName", HostFileName);
    CheckCanSend();
    currentStep_ = TFtpStep::Rnfr;
    ExecuteCommand(ftpReqRenameFrom, "RNFR " + HostFileName, {350});
}

void TCustomFtpCli::BeginRenameTo() {
    RefuseLineBreak("LocalFileName", LocalFileName);
    CheckCanSend();
    currentStep_ = TFtpStep::Rnto;
    ExecuteCommand(ftpReqRenameTo, "RNTO " + LocalFileName, {250, 257});
}

void TCustomFtpCli::BeginSize() {
    RefuseLineBreak("HostFileName", HostFileName);
    CheckCanSend();
    currentStep_ = TFtpStep::Size;
    remoteFileSize_ = 0;
    ExecuteCommand(ftpReqSize, "SIZE " + HostFileName, {213});
}

void TCustomFtpCli::BeginDele() {
    RefuseLineBreak("HostFileName", HostFileName);
    CheckCanSend();
    currentStep_ = TFtpStep::Dele;
    ExecuteCommand(ftpReqDele, "DELE " + HostFileName, {250, 257});
}

void TCustomFtpCli::BeginPwd() {
    CheckCanSend();
    currentStep_ = TFtpStep::Pwd;
    ExecuteCommand(ftpReqPwd, "PWD", {250, 257});
}

void TCustomFtpCli::BeginQuote() {
    RefuseLineBreak("LocalFileName", LocalFileName);
    CheckCanSend();
    currentStep_ = TFtpStep::Quote;
    ExecuteCommand(ftpReqQuote, LocalFileName, {});
}

void TCustomFtpCli::BeginQuit() {
    CheckCanSend();
    currentStep_ = TFtpStep::Quit;
    ExecuteCommand(ftpReqQuit, "QUIT", {221}, &TCustomFtpCli::QuitDone);
}

void TCustomFtpCli::BeginRest() {
    CheckCanSend();
    currentStep_ = TFtpStep::Rest;
    ResumeAt = GetLocalFileSize(LocalFileName);
    if (ResumeAt > 0 && TextTransfer()) {
        // A text download's local file has other line ends than the bytes
        // on the wire and in the server's file, so its size is no offset in
        // them (and servers read REST differently in text mode; some refuse
        // it). Resuming there would duplicate or lose text: refused, before
        // anything is sent or written.
        if (!inSequence_) requestType_ = ftpReqRest;
        ResumeAt = 0;
        lastResponse_ = "501 Resume is not possible in text mode: the local size is no offset in the server's file";
        statusCode_ = 501;
        RecordFailure();
        resultCode_ = 501;
        doneSignalled_ = false;
        FinishStep(501);
        return;
    }
    if (ResumeAt > 0) {
        ExecuteCommand(ftpReqRest, "REST " + std::to_string(ResumeAt), {});
        return;
    }
    // Nothing to resume from: the step completes at once, so a sequence goes
    // straight on to its transfer.
    if (!inSequence_) requestType_ = ftpReqRest;
    doneSignalled_ = false;
    fNext_ = &TCustomFtpCli::CommonReplyHandler;
    stepCallback_ = nullptr;
    FinishStep(0);
}
