// Single commands: sending one command line, judging its reply, and the
// starting operations that send exactly one command.
#include <cctype>
#include <stdexcept>

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
    if (request_.Passive && statusCode_ == 227) savedPasvReply_ = lastResponse_;
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
        case TFtpStep::Size:
            // A negative or half-numeric size would pass for a real one in
            // every comparison made with it later.
            if (!ParseSizeReply(lastResponse_, remoteFileSize_)) {
                remoteFileSize_ = 0;
                lastResponse_ = "501 The server's size is no number: " + lastResponse_;
                RecordFailure();
                resultCode_ = 501;
            }
            break;
        case TFtpStep::Cwd:
        case TFtpStep::Mkd:
        case TFtpStep::Pwd:
        case TFtpStep::Cdup: replyDirectory_ = ParseQuotedName(lastResponse_); break;
        case TFtpStep::Type: wireType_ = typeChar_; break;
        case TFtpStep::Mdtm: remoteFileTime_ = ParseFtpTime(lastResponse_.size() > 4 ? lastResponse_.substr(4) : ""); break;
        case TFtpStep::Quote: NoteQuotedType(); break;
        default: break;
    }
}

// A TYPE sent as a raw command changes how the next transfers' bytes look
// as much as one sent by BeginTransferType.
void TCustomFtpCli::NoteQuotedType() {
    if (statusCode_ / 100 != 2 || request_.QuoteLine.size() < 6) return;
    std::string word = request_.QuoteLine.substr(0, 5);
    for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (word != "TYPE ") return;
    const char type = static_cast<char>(std::toupper(static_cast<unsigned char>(request_.QuoteLine[5])));
    wireType_ = type == 'L' ? 'I' : type;
}

void TCustomFtpCli::QuitDone() {
    // Completion comes from the close handler once the socket is closed.
    fNext_ = nullptr;
    CloseControl();
}

// The requests that send exactly one command line and judge its reply.
// Each names the engine parameter that follows its verb (refused when it
// holds a line break, and with `emptyText` when it is empty) and the reply
// codes that mean success (none: any code below 500).
struct TCustomFtpCli::SingleCommand {
    TFtpRequest request;
    TFtpStep step;
    const char* verb;  // empty: the parameter is the whole line
    std::string TFtpRequestParameters::*parameter;
    const char* parameterName;
    const char* emptyText;
    std::vector<int> accepted;
    Handler onStart = nullptr;  // once the checks passed, before sending
    Handler onReply = nullptr;  // instead of ending the step on the reply
};

const TCustomFtpCli::SingleCommand& TCustomFtpCli::Single(TFtpStep Step) {
    using T = TCustomFtpCli;
    using P = TFtpRequestParameters;
    static const SingleCommand commands[] = {
        {ftpReqUser, TFtpStep::User, "USER", &P::UserName, "UserName", "UserName empty", {331, 230}},
        {ftpReqPass, TFtpStep::Pass, "PASS", &P::PassWord, "PassWord", "Password empty", {230}},
        {ftpReqCwd, TFtpStep::Cwd, "CWD", &P::HostDirName, "HostDirName", "HostDirName empty", {200, 250, 257}},
        // RFC 959 gives 200 for CDUP; many servers answer 250 as for CWD.
        {ftpReqCdup, TFtpStep::Cdup, "CDUP", nullptr, nullptr, nullptr, {200, 250}},
        {ftpReqType, TFtpStep::Type, "TYPE", &P::TypeArgument, nullptr, nullptr, {200}},
        {ftpReqSyst, TFtpStep::Syst, "SYST", nullptr, nullptr, nullptr, {215}},
        {ftpReqMkd, TFtpStep::Mkd, "MKD", &P::HostFileName, "HostFileName", nullptr, {257}},
        {ftpReqRmd, TFtpStep::Rmd, "RMD", &P::HostFileName, "HostFileName", nullptr, {250, 257}},
        {ftpReqRenameFrom, TFtpStep::Rnfr, "RNFR", &P::HostFileName, "HostFileName", nullptr, {350}},
        {ftpReqRenameTo, TFtpStep::Rnto, "RNTO", &P::RenameTo, "RenameTo", nullptr, {250, 257}},
        {ftpReqSize, TFtpStep::Size, "SIZE", &P::HostFileName, "HostFileName", nullptr, {213}, &T::ForgetRemoteFileSize},
        {ftpReqDele, TFtpStep::Dele, "DELE", &P::HostFileName, "HostFileName", nullptr, {250, 257}},
        {ftpReqPwd, TFtpStep::Pwd, "PWD", nullptr, nullptr, nullptr, {250, 257}},
        {ftpReqQuote, TFtpStep::Quote, "", &P::QuoteLine, "QuoteLine", nullptr, {}},
        {ftpReqQuit, TFtpStep::Quit, "QUIT", nullptr, nullptr, nullptr, {221}, nullptr, &T::QuitDone},
    };
    for (const SingleCommand& command : commands)
        if (command.step == Step) return command;
    throw std::logic_error("no single command for this step");
}

void TCustomFtpCli::BeginSingle(TFtpStep Step) {
    const SingleCommand& command = Single(Step);
    TFtpRequestParameters next = NextParameters();
    std::string line = command.verb;
    if (command.parameter != nullptr) {
        const std::string& value = next.*command.parameter;
        if (command.emptyText != nullptr) RefuseEmpty(value, command.emptyText);
        if (command.parameterName != nullptr) RefuseLineBreak(command.parameterName, value);
        line = line.empty() ? value : line + " " + value;
    }
    CheckCanSend();
    request_ = std::move(next);
    currentStep_ = command.step;
    if (command.onStart != nullptr) (this->*command.onStart)();
    ExecuteCommand(command.request, line, command.accepted, command.onReply);
}

void TCustomFtpCli::ForgetRemoteFileSize() { remoteFileSize_ = 0; }

void TCustomFtpCli::BeginUser() { BeginSingle(TFtpStep::User); }
void TCustomFtpCli::BeginPass() { BeginSingle(TFtpStep::Pass); }
void TCustomFtpCli::BeginCwd() { BeginSingle(TFtpStep::Cwd); }
void TCustomFtpCli::BeginCdup() { BeginSingle(TFtpStep::Cdup); }
void TCustomFtpCli::BeginSyst() { BeginSingle(TFtpStep::Syst); }
void TCustomFtpCli::BeginMkd() { BeginSingle(TFtpStep::Mkd); }
void TCustomFtpCli::BeginRmd() { BeginSingle(TFtpStep::Rmd); }
void TCustomFtpCli::BeginRenameFrom() { BeginSingle(TFtpStep::Rnfr); }
void TCustomFtpCli::BeginRenameTo() { BeginSingle(TFtpStep::Rnto); }
void TCustomFtpCli::BeginSize() { BeginSingle(TFtpStep::Size); }
void TCustomFtpCli::BeginDele() { BeginSingle(TFtpStep::Dele); }
void TCustomFtpCli::BeginPwd() { BeginSingle(TFtpStep::Pwd); }
void TCustomFtpCli::BeginQuote() { BeginSingle(TFtpStep::Quote); }
void TCustomFtpCli::BeginQuit() { BeginSingle(TFtpStep::Quit); }

void TCustomFtpCli::BeginTransferType() {
    request_.TypeArgument.assign(1, typeChar_);
    BeginSingle(TFtpStep::Type);
}

void TCustomFtpCli::BeginTypeBinary() {
    SetBinary(true);
    BeginTransferType();
}

void TCustomFtpCli::BeginTypeAscii() {
    SetBinary(false);
    BeginTransferType();
}

void TCustomFtpCli::BeginRest() {
    CheckCanSend();
    request_ = NextParameters();
    currentStep_ = TFtpStep::Rest;
    request_.ResumeAt = GetLocalFileSize(request_.LocalFileName);
    if (request_.ResumeAt > 0 && TextTransfer()) {
        // A text download's local file has other line ends than the bytes
        // on the wire and in the server's file, so its size is no offset in
        // them (and servers read REST differently in text mode; some refuse
        // it). Resuming there would duplicate or lose text: refused, before
        // anything is sent or written.
        if (!inSequence_) requestType_ = ftpReqRest;
        request_.ResumeAt = 0;
        EndWithLocalFailure(501, "501 Resume is not possible in text mode: the local size is no offset in the server's file");
        return;
    }
    if (request_.ResumeAt > 0) {
        ExecuteCommand(ftpReqRest, "REST " + std::to_string(request_.ResumeAt), {});
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
