// The log pane, the connected and busy states, the activity animation and
// the connection-time panel.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMovie>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>

#include "session/LogView.h"
#include "session/RemoteListView.h"
#include "session/SessionController.h"
#include "util/ui/UiUtils.h"

void TSessionController::AddLogLine(const std::string& text, TLogKind kind) {
    const std::string line = FormatLogLine(text, kind, DebugLog);
    if (line.empty() || W.mmoFTPLog == nullptr) return;
    const QPointer<QWidget> focused = QApplication::focusWidget();
    try {
        const TLogColour c = LogColour(kind);
        W.mmoFTPLog->AppendLine(line, QColor(c.red, c.green, c.blue));
    } catch (...) {
        ClearLog();
    }
    if (focused != nullptr && focused != QApplication::focusWidget()) focused->setFocus();
}

void TSessionController::ClearLog() {
    if (W.mmoFTPLog != nullptr) W.mmoFTPLog->clear();
}

namespace {

void ShowIf(QWidget* widget, bool visible) {
    if (widget != nullptr) widget->setVisible(visible);
}

void EnableIf(QAction* action, bool enabled) {
    if (action != nullptr) action->setEnabled(enabled);
}

// Enabled with the window's background while connected; disabled with the
// button face while not.
void PaintServerControl(QWidget* control, bool on) {
    if (control == nullptr) return;
    control->setEnabled(on);
    QPalette palette = control->palette();
    palette.setColor(QPalette::Base, QApplication::palette().color(on ? QPalette::Base : QPalette::Button));
    control->setPalette(palette);
}

}  // namespace

void TSessionController::SetConnectedState(bool on) {
    connectedState_ = on;
    ShowIf(W.imgConnectedOn, on);
    ShowIf(W.imgDisconnectedOff, on);
    ShowIf(W.imgConnectedOff, !on);
    ShowIf(W.imgDisconnectedOn, !on);
    ShowEncryptedLock();
    EnableIf(W.tb97Connect, !on);
    for (QAction* action : {W.tb97Disconnect, W.tb97FolderUp, W.tb97NewFolder, W.tb97Delete, W.tb97Refresh, W.tb97TransferBin,
                            W.tb97TransferAsc, W.tb97TransferAuto})
        EnableIf(action, on);
    ShowIf(W.pbTransferStatus, on);
    tmrUpdateConnectionTimeTimer();
    if (on)
        tmrUpdateConnectionTime_->start();
    else
        tmrUpdateConnectionTime_->stop();
    PaintServerControl(W.cbServerDir, on);
    PaintServerControl(W.lvServerFiles, on);
    if (W.cbServerDir != nullptr) W.cbServerDir->clearEditText();
    if (W.lvServerFiles != nullptr) W.lvServerFiles->Clear();
    if (W.lblServerName != nullptr) W.lblServerName->setText(on ? ToQt(CurrentServerName) : QString());
}

// The log-in of an encrypted session ends after the connected state is
// shown, so the lock is looked at again when each request ends.
void TSessionController::ShowEncryptedLock() {
    const bool encrypted = connectedState_ && FTP.Connected() && FTP.Encrypted();
    ShowIf(W.imgEncrypted, encrypted);
    if (W.imgEncrypted != nullptr)
        W.imgEncrypted->setToolTip(FTP.DataEncrypted() ? tr("Encrypted (TLS): log-in, commands and files")
                                                       : tr("Encrypted (TLS): log-in and commands; files in clear"));
}

void TSessionController::SetBusyState(bool on) {
    Busy = on;
    const QCursor cursor(on ? Qt::WaitCursor : Qt::ArrowCursor);
    SetCursorDeep(W.pnlServer, cursor);
    SetCursorDeep(W.pnlServerToolbar, cursor);
}

void TSessionController::StartActivityAnimation() {
    if (W.animKFTP == nullptr || W.animKFTP->isHidden() || W.animKFTP->movie() == nullptr) return;
    QMovie* movie = W.animKFTP->movie();
    movie->stop();
    movie->jumpToFrame(0);
    movie->start();
}

void TSessionController::StopActivityAnimation() {
    if (W.animKFTP == nullptr || W.animKFTP->isHidden() || W.animKFTP->movie() == nullptr) return;
    W.animKFTP->movie()->stop();
    W.animKFTP->movie()->jumpToFrame(0);
}

void TSessionController::tmrUpdateConnectionTimeTimer() {
    if (W.lblConnectionTime == nullptr) return;
    if (!SessionUp) {
        W.lblConnectionTime->setText(tr("Not connected."));
        return;
    }
    const qint64 seconds = ConnectedSince.secsTo(QDateTime::currentDateTime());
    W.lblConnectionTime->setText(tr("Connected. (%1)").arg(ToQt(ElapsedText(seconds))));
}
