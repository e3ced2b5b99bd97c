// Requests made of several steps, run in a fixed order by the sequencer.
#include "ftp/Ftpcli.h"

namespace {

using StepSet = std::uint32_t;

constexpr StepSet Bit(TFtpStep Step) { return StepSet{1} << static_cast<unsigned>(Step); }

template <typename... Steps>
constexpr StepSet StepsOf(Steps... steps) {
    return (Bit(steps) | ...);
}

constexpr TFtpStep kFirstStep = TFtpStep::Open;
constexpr TFtpStep kLastStep = TFtpStep::Quit;

// Steps that move data or set ResumeAt; a request with any of them resets
// ResumeAt when it ends, however it ends.
constexpr StepSet kTransferSteps =
    StepsOf(TFtpStep::Rest, TFtpStep::Retr, TFtpStep::Stor, TFtpStep::Appe, TFtpStep::List, TFtpStep::Nlst);

constexpr StepSet kLogin = StepsOf(TFtpStep::Open, TFtpStep::User, TFtpStep::Pass, TFtpStep::Feat);
constexpr StepSet kSession = kLogin | Bit(TFtpStep::Cwd);

bool Has(StepSet Steps, TFtpStep Step) { return (Steps & Bit(Step)) != 0; }

}  // namespace

// A request of its own starts from the public fields as they are now; a
// step of a sequence goes on with what the sequence started from.
TFtpRequestParameters TCustomFtpCli::NextParameters() const {
    if (inSequence_) return request_;
    TFtpRequestParameters next = request_;
    next.UserName = UserName;
    next.PassWord = PassWord;
    next.HostDirName = HostDirName;
    next.HostFileName = HostFileName;
    next.LocalFileName = LocalFileName;
    next.RenameTo = RenameTo;
    next.QuoteLine = QuoteLine;
    next.DisplayFileFlag = DisplayFileFlag;
    next.Passive = Passive;
    next.FileTimeUtc = FileTimeUtc;
    next.ResumeAt = ResumeAt;
    return next;
}

// Everything a step would refuse later, from inside a socket event, is
// refused here while the caller can still see the exception.
void TCustomFtpCli::CheckSequenceArguments(StepSet Steps, const TFtpRequestParameters& next) const {
    if (Has(Steps, TFtpStep::User) && next.UserName.empty()) throw FtpException("UserName empty");
    const StepSet hostFileSteps = StepsOf(TFtpStep::Retr, TFtpStep::Stor, TFtpStep::Appe, TFtpStep::List, TFtpStep::Nlst,
                                          TFtpStep::Mkd, TFtpStep::Rmd, TFtpStep::Rnfr, TFtpStep::Size, TFtpStep::Dele);
    const auto refuseFor = [Steps](StepSet Users, const char* Name, const std::string& Value) {
        if ((Steps & Users) != 0) RefuseLineBreak(Name, Value);
    };
    refuseFor(Bit(TFtpStep::User), "UserName", next.UserName);
    refuseFor(Bit(TFtpStep::Pass), "PassWord", next.PassWord);
    refuseFor(Has(Steps, TFtpStep::Cwd) && !next.HostDirName.empty() ? Bit(TFtpStep::Cwd) : 0, "HostDirName", next.HostDirName);
    refuseFor(hostFileSteps, "HostFileName", next.HostFileName);
    refuseFor(Bit(TFtpStep::Rnto), "RenameTo", next.RenameTo);
    refuseFor(Bit(TFtpStep::Quote), "QuoteLine", next.QuoteLine);
    const bool downloadToFile = (Steps & StepsOf(TFtpStep::Retr, TFtpStep::List, TFtpStep::Nlst)) != 0 && !next.DisplayFileFlag;
    const bool upload = (Steps & StepsOf(TFtpStep::Stor, TFtpStep::Appe)) != 0;
    if ((downloadToFile || upload) && next.LocalFileName.empty()) throw FtpException("LocalFileName empty");
}

void TCustomFtpCli::StartSequence(TFtpRequest Request, StepSet Steps) {
    if (controlConnected_ && Has(Steps, TFtpStep::Open)) throw FtpException("FTP component already connected");
    if (state_ != ftpStateReady && state_ != ftpStateBetweenSteps) throw FtpException("FTP component not ready");
    if (!Has(Steps, TFtpStep::Open) && !controlConnected_) throw FtpException("FTP component not connected");
    TFtpRequestParameters next = NextParameters();
    CheckSequenceArguments(Steps, next);
    request_ = std::move(next);
    savedReply_ = lastResponse_;
    savedStatusCode_ = -1;
    requestType_ = Request;
    resultCode_ = 0;
    pendingSteps_ = Steps;
    currentStep_ = TFtpStep::None;
    sequenceError_ = 0;
    inSequence_ = true;
    transferRequest_ = (Steps & kTransferSteps) != 0;
    lastResponse_.clear();
    errorMessage_.clear();
    NextStep();
}

void TCustomFtpCli::NextStep() {
    if (state_ == ftpStateAborting) {
        pendingSteps_ = 0;
        sequenceError_ = 426;
        errorMessage_ = "426 Operation aborted.";
    }
    ParseReplyResults();
    sequenceContinuation_ = true;
    for (auto step = static_cast<unsigned>(kFirstStep); step <= static_cast<unsigned>(kLastStep); ++step) {
        const auto candidate = static_cast<TFtpStep>(step);
        if (!Has(pendingSteps_, candidate)) continue;
        pendingSteps_ &= ~Bit(candidate);
        // A 230 answer to USER means the server needs no password.
        if (candidate == TFtpStep::Pass && currentStep_ == TFtpStep::User && statusCode_ != 331) continue;
        if (candidate == TFtpStep::Cwd && request_.HostDirName.empty()) continue;
        if (candidate == TFtpStep::Retr && !(currentStep_ == TFtpStep::Rest && request_.ResumeAt >= 0 && statusCode_ == 350))
            request_.ResumeAt = 0;
        if (candidate == TFtpStep::Quit) {
            savedReply_ = lastResponse_;
            savedStatusCode_ = statusCode_;
        }
        try {
            RunStep(candidate);
        } catch (const std::exception& error) {
            FailFromException(error);
        }
        return;
    }
    pendingSteps_ = 0;
    sequenceContinuation_ = false;
    doneSignalled_ = false;
    // An aborted sequence ends with 426 although its last command succeeded;
    // without this the blocking forms would report the abort as success.
    if (resultCode_ == 0) resultCode_ = sequenceError_;
    FinishStep(static_cast<std::uint16_t>(sequenceError_));
}

// The session's close, held back until the transfer ended; false when the
// step must not go on.
bool TCustomFtpCli::CloseLeftForTheTransferEnd() {
    if (!closeAfterTransfer_) return true;
    closeAfterTransfer_ = false;
    pendingSteps_ &= ~Bit(TFtpStep::Quit);  // the server has ended the session itself
    if (!MarkControlClosed(closeAfterTransferError_)) return false;
    return state_ == ftpStateAborting || SetState(ftpStateBetweenSteps);
}

void TCustomFtpCli::RunStep(TFtpStep Step) {
    switch (Step) {
        case TFtpStep::Open: BeginOpen(); break;
        case TFtpStep::User: BeginUser(); break;
        case TFtpStep::Pass: BeginPass(); break;
        case TFtpStep::Feat: BeginFeat(); break;
        case TFtpStep::Cwd: BeginCwd(); break;
        case TFtpStep::Cdup: BeginCdup(); break;
        case TFtpStep::Type: BeginTransferType(); break;
        case TFtpStep::Port: BeginPort(); break;
        case TFtpStep::Rest: BeginRest(); break;
        case TFtpStep::Retr: StepRetr(); break;
        case TFtpStep::Stor: StepStor(); break;
        case TFtpStep::Appe: StepAppe(); break;
        case TFtpStep::List: StepList(); break;
        case TFtpStep::Nlst: StepNlst(); break;
        case TFtpStep::Syst: BeginSyst(); break;
        case TFtpStep::Mkd: BeginMkd(); break;
        case TFtpStep::Rmd: BeginRmd(); break;
        case TFtpStep::Rnfr: BeginRenameFrom(); break;
        case TFtpStep::Rnto: BeginRenameTo(); break;
        case TFtpStep::Size: BeginSize(); break;
        case TFtpStep::Dele: BeginDele(); break;
        case TFtpStep::Mlst: BeginMachineFile(); break;
        case TFtpStep::Mdtm: BeginFileTime(); break;
        case TFtpStep::Mfmt: BeginSetFileTime(); break;
        case TFtpStep::Noop: BeginNoop(); break;
        case TFtpStep::Pwd: BeginPwd(); break;
        case TFtpStep::Quote: BeginQuote(); break;
        case TFtpStep::Quit: BeginQuit(); break;
        case TFtpStep::None: break;
    }
}

void TCustomFtpCli::BeginLogin() { StartSequence(ftpReqLogin, kLogin); }

void TCustomFtpCli::BeginList() { StartSequence(ftpReqList, StepsOf(TFtpStep::Port, TFtpStep::List)); }

void TCustomFtpCli::BeginMachineList() { StartSequence(ftpReqMachineList, StepsOf(TFtpStep::Port, TFtpStep::List)); }

void TCustomFtpCli::BeginNameList() { StartSequence(ftpReqNameList, StepsOf(TFtpStep::Port, TFtpStep::Nlst)); }

void TCustomFtpCli::BeginRetrieve() { StartSequence(ftpReqRetrieve, StepsOf(TFtpStep::Port, TFtpStep::Retr)); }

void TCustomFtpCli::BeginStore() { StartSequence(ftpReqStore, StepsOf(TFtpStep::Port, TFtpStep::Stor)); }

void TCustomFtpCli::BeginAppend() { StartSequence(ftpReqAppend, StepsOf(TFtpStep::Port, TFtpStep::Appe)); }

void TCustomFtpCli::BeginRename() { StartSequence(ftpReqRename, StepsOf(TFtpStep::Rnfr, TFtpStep::Rnto)); }

void TCustomFtpCli::BeginRestartRetrieve() {
    StartSequence(ftpReqRestartRetrieve, StepsOf(TFtpStep::Port, TFtpStep::Rest, TFtpStep::Retr));
}

void TCustomFtpCli::BeginSessionRetrieve() {
    StartSequence(ftpReqSessionRetrieve, kSession | StepsOf(TFtpStep::Type, TFtpStep::Port, TFtpStep::Retr, TFtpStep::Quit));
}

void TCustomFtpCli::BeginSessionRestartRetrieve() {
    StartSequence(ftpReqSessionRestartRetrieve,
                  kSession | StepsOf(TFtpStep::Type, TFtpStep::Port, TFtpStep::Rest, TFtpStep::Retr, TFtpStep::Quit));
}

void TCustomFtpCli::BeginSessionStore() {
    StartSequence(ftpReqSessionStore, kSession | StepsOf(TFtpStep::Type, TFtpStep::Port, TFtpStep::Stor, TFtpStep::Quit));
}

void TCustomFtpCli::BeginSessionAppend() {
    StartSequence(ftpReqSessionStore, kSession | StepsOf(TFtpStep::Type, TFtpStep::Port, TFtpStep::Appe, TFtpStep::Quit));
}

void TCustomFtpCli::BeginSessionList() {
    StartSequence(ftpReqSessionList, kSession | StepsOf(TFtpStep::Port, TFtpStep::List, TFtpStep::Quit));
}

void TCustomFtpCli::BeginSessionNameList() {
    StartSequence(ftpReqSessionNameList, kSession | StepsOf(TFtpStep::Port, TFtpStep::Nlst, TFtpStep::Quit));
}

void TCustomFtpCli::BeginSessionSyst() { StartSequence(ftpReqSessionSyst, kLogin | StepsOf(TFtpStep::Syst, TFtpStep::Quit)); }

void TCustomFtpCli::BeginSessionSize() { StartSequence(ftpReqSize, kSession | StepsOf(TFtpStep::Size, TFtpStep::Quit)); }

void TCustomFtpCli::BeginSessionMkd() { StartSequence(ftpReqSessionMkd, kSession | StepsOf(TFtpStep::Mkd, TFtpStep::Quit)); }

void TCustomFtpCli::BeginSessionRmd() { StartSequence(ftpReqSessionRmd, kSession | StepsOf(TFtpStep::Rmd, TFtpStep::Quit)); }

void TCustomFtpCli::BeginSessionDele() { StartSequence(ftpReqSessionDele, kSession | StepsOf(TFtpStep::Dele, TFtpStep::Quit)); }

void TCustomFtpCli::BeginSessionRename() {
    StartSequence(ftpReqSessionRename, kSession | StepsOf(TFtpStep::Rnfr, TFtpStep::Rnto, TFtpStep::Quit));
}

void TCustomFtpCli::BeginSessionQuote() {
    StartSequence(ftpReqSessionQuote, kSession | StepsOf(TFtpStep::Quote, TFtpStep::Quit));
}
