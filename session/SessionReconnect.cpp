// Keeping an idle session alive with NOOP, and reconnecting once when the
// server has closed the session (the 421 of an idle time-out, a reset).
#include <QTimer>

#include "dialogs/FrmOptions.h"
#include "platform/MessageLoop.h"
#include "session/SessionController.h"
#include "util/ui/SpinEdit.h"
#include "util/ui/UiUtils.h"

namespace {

constexpr char kClosedByServer[] =
    QT_TRANSLATE_NOOP("TSessionController", "The server closed the connection; the next command reconnects");

// A transfer that may have moved data is not run again from the start:
// continuing it is the resume question's work, which the user answers.
bool Repeatable(const TFTPCommand& command, const TFtpClient& ftp) {
    switch (command.Kind) {
        case cmdConnect:
        case cmdQuit:
        case cmdNoop: return false;
        case cmdDownload:
        case cmdUpload: return ftp.ByteCount() == 0;
        default: return true;
    }
}

// The engine's own texts when the server stopped answering.
bool IsTimeOut(const std::string& error) {
    return error == "421 timed out waiting for the server's reply" || error == "426 Timeout";
}

}  // namespace

void TSessionController::RestartKeepAlive() {
    const int seconds = W.frmOptions != nullptr ? W.frmOptions->sedtKeepAlive->Value() : 0;
    if (seconds <= 0 || !FTP.Connected() || !SessionUp) {
        keepAlive_->stop();
        return;
    }
    keepAlive_->start(seconds * 1000);
}

void TSessionController::KeepAliveTimeout() {
    // Anything queued or running talks to the server anyway.
    if (executing_ || Busy || !CommandQueue.empty() || !FTP.Connected()) {
        RestartKeepAlive();
        return;
    }
    Enqueue(NewCommand(cmdNoop));
}

bool TSessionController::KeepClosedSession() {
    if (!SessionUp || userClosing_ || runningKind_ == cmdQuit || runningKind_ == cmdConnect || platform::ApplicationTerminated())
        return false;
    keepAlive_->stop();
    if (executing_) {
        serverClosed_ = true;
        return true;
    }
    reconnectPending_ = true;
    AddLogLine(FromQt(tr(kClosedByServer)), TLogKind::Status);
    return true;
}

bool TSessionController::TakeServerClose() {
    // A 421 reply announces the close (RFC 959), which may not have arrived
    // yet: the session is ended here rather than used once more.
    if (FTP.Connected() && (FTP.StatusCode() == 421 || FTP.ResultCode() == 421) && !IsTimeOut(FTP.ErrorMessage())) {
        const auto alive = alive_;
        const std::string failure = FTP.ErrorMessage();
        (void)FTP.AbortSessionWait();
        if (!*alive) return false;
        FTP.SetErrorMessage(failure);
    }
    if (!std::exchange(serverClosed_, false) || FTP.Connected()) return false;
    // The engine's own time-out closes too: a server that did not answer is
    // not worth the same wait once more, nor is a transfer the user stopped.
    if (AbortRequested || IsTimeOut(FTP.ErrorMessage())) {
        SessionUp = false;
        return false;
    }
    return true;
}

bool TSessionController::RunReconnecting(TFTPCommand& command) {
    const auto alive = alive_;
    if (command.Kind == cmdConnect) reconnectPending_ = false;
    if (std::exchange(reconnectPending_, false)) {
        // Nothing is left to quit.
        if (command.Kind == cmdQuit) return true;
        if (!Reconnect(command)) return false;
    }
    serverClosed_ = false;
    const bool ok = RunOperation(command);
    if (!*alive || !TakeServerClose()) return ok;
    if (ok || !command.WaitForResult || !Repeatable(command, FTP)) {
        if (!ok && (command.Kind == cmdDownload || command.Kind == cmdUpload))
            AddLogLine(FromQt(tr("The transfer may have partly run: it is not repeated")), TLogKind::Status);
        reconnectPending_ = true;
        AddLogLine(FromQt(tr(kClosedByServer)), TLogKind::Status);
        return ok;
    }
    FTP.SetErrorMessage("");
    if (!Reconnect(command)) return false;
    AddLogLine(FromQt(tr("Running the command again")), TLogKind::Status);
    const bool again = RunOperation(command);
    if (*alive && !again) (void)TakeServerClose();
    return again;
}

bool TSessionController::Reconnect(const TFTPCommand& command) {
    const auto alive = alive_;
    // What the command's preparation put into the engine; the steps below
    // change it.
    const std::string dir = FTP.HostDirName;
    const std::string file = FTP.HostFileName;
    const std::int32_t kind = std::exchange(runningKind_, cmdConnect);
    AddLogLine(FromQt(tr("Reconnecting to %1 ...").arg(ToQt(sessionLogin_.HostName))), TLogKind::Status);
    TFTPCommand login = sessionLogin_;
    login.WaitingOperation = [this] { return FTP.Login(); };
    bool ok = PrepareEngine(login) && RunOperation(login) && *alive && FTP.Connected();
    if (ok && !CurrentRemoteDir.empty()) {
        AddLogLine(FromQt(tr("Returning to the folder \"%1\"").arg(ToQt(CurrentRemoteDir))), TLogKind::Status);
        FTP.HostDirName = CurrentRemoteDir;
        TFTPCommand back;
        back.WaitingOperation = [this] { return FTP.Cwd(); };
        ok = RunOperation(back) && *alive;
    }
    // The type the transfer or listing asked for was sent on the old
    // connection; a new one starts in the server's default.
    const bool movesData = command.Kind == cmdDownload || command.Kind == cmdUpload || command.Kind == cmdList;
    if (ok && movesData) {
        TFTPCommand type;
        type.WaitingOperation = [this] { return FTP.TransferType(); };
        ok = RunOperation(type) && *alive;
    }
    if (!*alive) return false;
    if (!ok && FTP.Connected()) {
        // A session that could not be made whole is ended, as a failed
        // connect is; the failure stays the one to show.
        const std::string failure = FTP.ErrorMessage();
        userClosing_ = true;
        (void)FTP.AbortSessionWait();
        if (!*alive) return false;
        userClosing_ = false;
        FTP.SetErrorMessage(failure);
    }
    runningKind_ = kind;
    FTP.HostDirName = dir;
    FTP.HostFileName = file;
    if (!ok) SessionUp = false;
    return ok;
}
