// The handlers of the engine's events.
#include <QApplication>
#include <QComboBox>
#include <QPalette>
#include <QProgressBar>
#include <QTimer>

#include "session/FrmCertificate.h"
#include "session/SessionController.h"
#include "util/CertificateTrust.h"
#include "util/ui/UiUtils.h"
#include "util/ui/WavePlayer.h"

TSessionController::TSessionController()
    : keepAlive_(new QTimer()), progressCatchUp_(new QTimer()), tmrUpdateConnectionTime_(new QTimer()) {
    keepAlive_->setSingleShot(true);
    QObject::connect(keepAlive_, &QTimer::timeout, [this] { KeepAliveTimeout(); });
    progressCatchUp_->setSingleShot(true);
    progressCatchUp_->setInterval(33);
    QObject::connect(progressCatchUp_, &QTimer::timeout, [this] { ShowPendingProgress(); });
    tmrUpdateConnectionTime_->setInterval(1000);
    QObject::connect(tmrUpdateConnectionTime_, &QTimer::timeout, [this] { tmrUpdateConnectionTimeTimer(); });
    FTP.OnCommand = [this](TCustomFtpCli* s, std::string& c) { FTPCommand(s, c); };
    FTP.OnDisplay = [this](TCustomFtpCli* s, std::string& m) { FTPDisplay(s, m); };
    FTP.OnStateChange = [this](TCustomFtpCli* s) { FTPStateChange(s); };
    FTP.OnSessionConnected = [this](TCustomFtpCli* s, std::uint16_t e) { FTPSessionConnected(s, e); };
    FTP.OnSessionClosed = [this](TCustomFtpCli* s, std::uint16_t e) { FTPSessionClosed(s, e); };
    FTP.OnReadyToTransmit = [this](TCustomFtpCli* s, bool& cancel) { FTPReadyToTransmit(s, cancel); };
    FTP.OnRequestDone = [this](TCustomFtpCli* s, TFtpRequest r, std::uint16_t e) { FTPRequestDone(s, r, e); };
    FTP.OnProgress = [this](TCustomFtpCli* s, std::int64_t count, bool& abort) { FTPProgress(s, count, abort); };
    FTP.OnResponse = [](TCustomFtpCli*) {};
    FTP.OnDisplayFile = [](TCustomFtpCli*, std::string&) {};
    FTP.OnCertificateCheck = [this](TCustomFtpCli*, const TSslCertificateInfo& certificate, TFtpCertificateDecision& decision) {
        FTPCertificateCheck(certificate, decision);
    };
    ConnectedSince = QDateTime::currentDateTime();
    PlaySound = PlayWaveFile;
}

TSessionController::~TSessionController() {
    *alive_ = false;
    // The engine outlives nothing that its events reach.
    FTP.OnCommand = nullptr;
    FTP.OnDisplay = nullptr;
    FTP.OnStateChange = nullptr;
    FTP.OnSessionConnected = nullptr;
    FTP.OnSessionClosed = nullptr;
    FTP.OnReadyToTransmit = nullptr;
    FTP.OnRequestDone = nullptr;
    FTP.OnProgress = nullptr;
    ClearCommandQueue();
    ReleaseTransferWindow();
    delete tmrUpdateConnectionTime_;
    delete progressCatchUp_;
    delete keepAlive_;
}

void TSessionController::FTPCommand(TCustomFtpCli*, std::string& Cmd) { AddLogLine(Cmd, TLogKind::Command); }

void TSessionController::FTPDisplay(TCustomFtpCli*, std::string& Msg) {
    AddLogLine(Msg, TLogKind::Display);
    if (Msg.size() > 2 && ConnectingOpen()) AddConnectingLine(Msg.substr(2), QApplication::palette().color(QPalette::WindowText));
}

std::string TSessionController::StateText() const {
    switch (FTP.State()) {
        case ftpStateDisconnected: return FromQt(tr("Disconnected"));
        case ftpStateReady: return FromQt(tr("Ready"));
        case ftpStateBetweenSteps: return {};
        case ftpStateResolving: return FromQt(tr("Looking up hostname \"%1\" ...").arg(ToQt(FTP.HostName)));
        case ftpStateConnected: return FromQt(tr("Connected !"));
        case ftpStateAborting: return FromQt(tr("Aborting..."));
        case ftpStateConnecting: return FromQt(tr("Trying to connect to %1 ...").arg(ToQt(FTP.HostName)));
        case ftpStateWaitingReply: return FromQt(tr("Waiting for response..."));
    }
    return {};
}

void TSessionController::FTPStateChange(TCustomFtpCli*) {
    const std::string text = StateText();
    AddLogLine(text, TLogKind::Status);
    if (!text.empty() && ConnectingOpen()) AddConnectingLine(text, QColor(11, 0, 0));
    const TFtpState state = FTP.State();
    if (state == ftpStateConnected) ConnectPhase = TConnectPhase::Reached;
    if (state == ftpStateDisconnected) StopActivityAnimation();
    if (state == ftpStateReady && FTP.Connected()) DestroyConnecting();
}

void TSessionController::FTPSessionConnected(TCustomFtpCli*, std::uint16_t) {
    ConnectedSince = QDateTime::currentDateTime();
    SessionUp = true;
    // A reconnect keeps the view as it is.
    if (!connectedState_) SetConnectedState(true);
    DestroyConnecting();
}

// A certificate that verified needs no question; one the user trusted always
// for this server passes as long as it is the same certificate, and one let
// pass once passes for the rest of the session (its side connections).
void TSessionController::FTPCertificateCheck(const TSslCertificateInfo& Certificate, TFtpCertificateDecision& Decision) {
    if (Certificate.Verified) return;
    const TCertificateTrust trust(CertificateTrustFile.empty() ? TCertificateTrust::DefaultFile() : CertificateTrustFile);
    const auto standing = trust.Check(FTP.HostName, FTP.Port, Certificate.Sha256);
    if (standing == TCertificateTrust::Standing::Trusted) {
        Decision = ftpCertTrustOnce;
        return;
    }
    const std::string server = FTP.HostName + ":" + FTP.Port;
    if (acceptedCertificate_ == server + " " + Certificate.Sha256) {
        Decision = ftpCertTrustOnce;
        return;
    }
    const bool changed = standing == TCertificateTrust::Standing::Changed;
    Decision = AskCertificate ? AskCertificate(server, Certificate, changed)
                              : TfrmCertificate::Ask(W.mainWindow, server, Certificate, changed);
    if (Decision != ftpCertRefuse) acceptedCertificate_ = server + " " + Certificate.Sha256;
    if (Decision == ftpCertTrustAlways && !trust.Remember(FTP.HostName, FTP.Port, Certificate.Sha256))
        AddLogLine(FromQt(tr("The certificate could not be remembered: it is trusted for this connection only")),
                   TLogKind::Status);
}

void TSessionController::FTPSessionClosed(TCustomFtpCli*, std::uint16_t) {
    if (KeepClosedSession()) return;
    SessionUp = false;
    SetConnectedState(false);
    SetBusyState(false);
}

void TSessionController::FTPReadyToTransmit(TCustomFtpCli*, bool&) {
    AddLogLine(FromQt(tr("Ready to transmit")), TLogKind::Info);
}

void TSessionController::FTPRequestDone(TCustomFtpCli*, TFtpRequest RqType, std::uint16_t Error) {
    ShowEncryptedLock();
    AddLogLine("- Request " + std::to_string(RqType) + " Done.", TLogKind::Debug);
    AddLogLine("- StatusCode = " + std::to_string(FTP.StatusCode()), TLogKind::Debug);
    AddLogLine("- LastResponse was : '" + FTP.LastResponse() + "'", TLogKind::Debug);
    if (Error != 0)
        AddLogLine("- Error = " + std::to_string(Error) + " (" + FTP.ErrorMessage() + ")", TLogKind::Debug);
    else
        AddLogLine("- No error", TLogKind::Debug);
    if (RqType == ftpReqSize) ++sizeRepliesSeen_;
    if (RqType == ftpReqCwd) LastChangeDirOk = Error == 0;
    if (RqType == ftpReqList || RqType == ftpReqMachineList) LastListingOk = Error == 0;
    if (Error != 0) return;
    switch (RqType) {
        case ftpReqCwd:
        case ftpReqMkd:
        case ftpReqPwd:
        case ftpReqCdup: ReplyDirectoryDone(); break;
        case ftpReqList:
        case ftpReqMachineList:
        case ftpReqNameList:
        case ftpReqSessionList:
        case ftpReqSessionNameList:
            // Inside the executor the listing waits until the command is done,
            // so that the SIZE commands of its links can run at once.
            if (executing_)
                pendingListing_ = true;
            else
                ParseListing(ListingTempFile);
            if (W.pbTransferStatus != nullptr) W.pbTransferStatus->setValue(0);
            break;
        case ftpReqRetrieve:
        case ftpReqRestartRetrieve: EndTransfer(false); break;
        case ftpReqSize: AddLogLine("- File size is " + std::to_string(FTP.RemoteFileSize()) + " bytes", TLogKind::Debug); break;
        case ftpReqStore:
        case ftpReqAppend: EndTransfer(true); break;
        default: break;
    }
}

// The folder combo keeps the visited directories, most recent first.
void TSessionController::ReplyDirectoryDone() {
    const std::string dir = FTP.ReplyDirectory();
    AddLogLine("- Directory is \"" + dir + "\"", TLogKind::Debug);
    if (dir.empty()) return;
    if (W.cbServerDir != nullptr) {
        const QString text = ToQt(dir);
        const int found = W.cbServerDir->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (found >= 0) W.cbServerDir->removeItem(found);
        W.cbServerDir->insertItem(0, text);
        W.cbServerDir->setCurrentIndex(0);
    }
    CurrentRemoteDir = dir;
}

bool TSessionController::ConnectingOpen() const { return ConnectingWindowOpen && AddConnectingLine && ConnectingWindowOpen(); }

void TSessionController::DestroyConnecting() {
    if (ConnectingWindowOpen && ConnectingWindowOpen() && DestroyConnectingWindow) DestroyConnectingWindow();
}
