// The command queue and its executor.
#include <QLabel>
#include <QProgressBar>
#include <algorithm>
#include <cstdint>

#include "dialogs/FrmMessage.h"
#include "platform/MessageLoop.h"
#include "session/SessionController.h"
#include "util/ui/SpinEdit.h"
#include "util/ui/UiUtils.h"

namespace {

// Clears a flag when the scope ends, unless its owner is gone by then.
class ExecutingScope {
public:
    ExecutingScope(bool& flag, std::shared_ptr<bool> alive) : flag_(flag), alive_(std::move(alive)) { flag_ = true; }
    ~ExecutingScope() {
        if (*alive_) flag_ = false;
    }
    ExecutingScope(const ExecutingScope&) = delete;
    ExecutingScope& operator=(const ExecutingScope&) = delete;

private:
    bool& flag_;
    std::shared_ptr<bool> alive_;
};

bool EngineIdle(const TFtpClient& ftp) { return ftp.State() == ftpStateReady || ftp.State() == ftpStateBetweenSteps; }

}  // namespace

void TSessionController::EnqueueCommand(std::unique_ptr<TFTPCommand> command) {
    if (!command) return;
    command->WaitForResult = WaitMode;
    AbortRequested = false;
    std::string key = std::to_string(command->Kind);
    CommandQueue.push_back({std::move(key), std::move(command)});
    ExecuteNextCommand();
}

void TSessionController::ExecuteNextCommand() {
    if (executing_) return;
    const auto alive = alive_;
    for (;;) {
        const bool more = RunNextCommand();
        if (!*alive) return;
        if (std::exchange(pendingListing_, false)) {
            ParseListing(ListingTempFile);
            if (!*alive) return;
            continue;
        }
        if (!more) break;
    }
    platform::ProcessMessages();
}

void TSessionController::ClearCommandQueue() { CommandQueue.clear(); }

// Runs the head of the queue; true when another command waits and the
// engine may take it.
bool TSessionController::RunNextCommand() {
    if (!EngineIdle(FTP) || CommandQueue.empty()) return false;
    std::unique_ptr<TFTPCommand> command = std::move(CommandQueue.front().command);
    CommandQueue.pop_front();
    const auto alive = alive_;
    ExecutingScope scope(executing_, alive);

    try {
        if (W.sedtTimeOut != nullptr) FTP.Timeout = W.sedtTimeOut->Value();
    } catch (...) {
        ClearCommandQueue();
        return false;
    }
    TransferWindow = nullptr;
    if (!PrepareEngine(*command)) {
        ClearCommandQueue();
        return false;
    }
    SetBusyState(true);
    platform::ProcessMessages();
    if (!*alive) return false;
    StartActivityAnimation();
    AddLogLine("- Executing Requested Command", TLogKind::Debug);

    runningKind_ = command->Kind;
    const bool keepTime =
        command->WaitForResult && (command->Kind == cmdDownload || command->Kind == cmdUpload) && KeepFileTimesOn();
    timeFollows_ = keepTime;
    bool success = RunReconnecting(*command);
    if (!*alive) return false;
    timeFollows_ = false;
    if (success && keepTime) KeepFileTime(*command);
    runningKind_ = 0;
    // A lookup that finds no host ends the log-in without a reply code, yet
    // nothing is connected: that is a failed connect, worded by the engine's
    // last reply when it kept no failure text.
    if (success && command->Kind == cmdConnect && !FTP.Connected()) {
        success = false;
        if (FTP.ErrorMessage().empty()) FTP.SetErrorMessage(FTP.LastResponse());
    }
    SetBusyState(false);
    StopActivityAnimation();
    platform::ProcessMessages();
    if (!*alive) return false;
    if (success)
        AddLogLine("- Command Success", TLogKind::Debug);
    else
        ReportFailure(*command);
    if (!*alive) return false;
    platform::ProcessMessages();
    if (!*alive) return false;
    command.reset();

    if (!SessionAlive()) {
        SessionUp = false;
        ClearCommandQueue();
        SetConnectedState(false);
        StopActivityAnimation();
        SetBusyState(false);
    }
    RestartKeepAlive();
    return !CommandQueue.empty();
}

bool TSessionController::PrepareEngine(TFTPCommand& command) {
    try {
        switch (command.Kind) {
            case cmdConnect:
                sessionLogin_ = command;
                FTP.HostName = command.HostName;
                FTP.Port = command.Port;
                FTP.UserName = command.UserName;
                FTP.PassWord = command.PassWord;
                FTP.Encryption = command.Encryption;
                FTP.SocksServer = command.SocksHost;
                FTP.SocksPort = command.SocksPort;
                FTP.SocksUsercode = command.SocksUser;
                FTP.SocksPassword = command.SocksPassword;
                break;
            case cmdList:
                FTP.HostFileName = command.HostFileName;
                FTP.LocalFileName = command.LocalFileName;
                FTP.Passive = command.Passive;
                break;
            case cmdChangeDir: FTP.HostDirName = command.HostDirName; break;
            case cmdDeleteFile:
            case cmdRemoveDir:
            case cmdMakeDir:
            case cmdFileSize:
            case cmdFileTime: FTP.HostFileName = command.HostFileName; break;
            case cmdRename:
                FTP.HostFileName = command.HostFileName;
                FTP.RenameTo = command.RenameTo;
                break;
            case cmdSetType: FTP.SetBinary(command.Binary); break;
            case cmdQuote: FTP.QuoteLine = command.QuoteText; break;
            case cmdDownload:
            case cmdUpload: PrepareTransfer(command); break;
            default: break;
        }
        return true;
    } catch (...) {
        return false;
    }
}

bool TSessionController::RunOperation(TFTPCommand& command) {
    try {
        if (command.WaitForResult) return command.WaitingOperation && command.WaitingOperation();
        if (command.StartingOperation) command.StartingOperation();
        return true;
    } catch (const std::exception& refused) {
        // A request the engine refuses on a live session before sending
        // anything (a name with a line break) is a failure the user must see.
        if (FTP.ErrorMessage().empty() && FTP.Connected()) FTP.SetErrorMessage(refused.what());
        return false;
    } catch (...) {
        return false;
    }
}

void TSessionController::ReportFailure(const TFTPCommand& command) {
    std::string text = FTP.ErrorMessage();
    // A connect that never reached the server is worded with the host it
    // tried, and its connecting window has nothing more to show.
    if (command.Kind == cmdConnect && ConnectPhase == TConnectPhase::Reaching && !text.empty()) {
        text = FromQt(tr("Unable to connect to \"%1\" :\r\n\r\n%2").arg(ToQt(FTP.HostName), ToQt(text)));
        DestroyConnecting();
    }
    // A refused log-in keeps the control connection until QUIT; the status
    // bar must not say "Connected" beside the refusal.
    if (command.Kind == cmdConnect && SessionUp) {
        SessionUp = false;
        SetConnectedState(false);
    }
    const auto alive = alive_;
    // SIZE and MDTM are questions whose "no" is an answer, not a failure;
    // a failed keep-alive is the reconnect's business.
    const bool question = command.Kind == cmdFileSize || command.Kind == cmdFileTime;
    if (!text.empty() && !question && command.Kind != cmdNoop) {
        // A request the closing program aborted failed only because the user
        // asked to leave; a message now would keep the program alive.
        if (!platform::ApplicationTerminated()) ShowFailureText(text);
        if (!*alive) return;
        StopActivityAnimation();
        SetBusyState(false);
        ResetTransferProgress();
    }
    // A transfer that failed silently must not leave its window behind.
    ReleaseTransferWindow();
    if (!text.empty()) FTP.SetErrorMessage("");
    AddLogLine("- Command Failure : " + text, TLogKind::Debug);
    if (command.Kind == cmdConnect) {
        ConnectInProgress = false;
        ClearCommandQueue();
    }
}

void TSessionController::ShowFailureText(const std::string& text) {
    if (W.frmMessage == nullptr) {
        ShowInfoBox(ApplicationTitle, text);
        return;
    }
    W.frmMessage->FormCreate();
    W.frmMessage->lblDesc->setText(ToQt(text));
    W.frmMessage->exec();
}

void TSessionController::ResetTransferProgress() {
    if (W.pbTransferStatus == nullptr) return;
    W.pbTransferStatus->setMinimum(0);
    W.pbTransferStatus->setValue(0);
}
