// The menus, the server toolbar and the hint panel.
#include <QCheckBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QStatusTipEvent>
#include <QUrl>

#include "app/FolderCompare.h"
#include "app/FrmMain.h"
#include "app/StatusBar.h"
#include "dialogs/FrmAbout.h"
#include "dialogs/FrmOptions.h"
#include "profiles/FrmServerAdd.h"
#include "profiles/FrmServerConnect.h"
#include "profiles/FrmServerConnectTo.h"
#include "profiles/FrmServerEdit.h"
#include "profiles/FrmServerRemove.h"
#include "profiles/ServerStore.h"
#include "util/ui/UiUtils.h"

void TfrmMain::itmFileExitClick() { close(); }

void TfrmMain::itmOptionsClick() {
    if (frmOptions == nullptr) return;
    CenterOver(frmOptions, this);
    const bool inKeyring = Servers && Servers->PasswordsInKeyring;
    frmOptions->cbPasswordsInKeyring->setChecked(inKeyring);
    if (frmOptions->exec() != QDialog::Accepted || !Servers) return;
    if (frmOptions->cbPasswordsInKeyring->isChecked() != inKeyring) MovePasswords(!inKeyring);
}

// The status bar is the last area of the window's layout, so it stays below
// the log pane whichever way the pane is switched. The pane comes back at the
// height it had.
void TfrmMain::itmViewFTPLogClick() {
    const bool show = itmViewFTPLog->isChecked();
    if (show == pnlFTPLog->isVisibleTo(this)) return;
    if (!show) pendingLogHeight_ = LogHeight();
    pnlFTPLog->setVisible(show);
    if (show) SetLogHeight(pendingLogHeight_);
}

void TfrmMain::itmAboutClick() {
    TfrmAbout about(this);
    CenterOver(&about, this);
    about.exec();
}

// The same rule as the toolbar's Disconnect: while the connecting window is
// up the engine is already connected, yet the session is not; that window
// has its own Cancel.
void TfrmMain::itmServersClick() { itmDisconnectFromServer->setEnabled(Session.ConnectedState()); }

void TfrmMain::FillServerMenu() {
    if (Servers) Servers->FillServerMenu(mnuServers, [this](int tag) { itmConnectServerClick(tag); });
}

// Every change to the profiles goes to the file at once: a profile added
// and then lost to a crash or a killed program would be work lost.
void TfrmMain::ServersChanged() {
    FillServerMenu();
    if (Servers && !Servers->InMemoryOnly()) SaveServersOrReport(false);
}

void TfrmMain::itmAddServerClick() {
    if (Servers) (void)TfrmServerAdd::AddServer(this, Servers->ServerList, [this] { ServersChanged(); });
}

void TfrmMain::itmEditServerClick() {
    if (Servers) TfrmServerEdit::Execute(this, Servers->ServerList, [this] { ServersChanged(); });
}

void TfrmMain::itmRemoveServerClick() {
    if (!Servers) return;
    (void)TfrmServerRemove::Execute(
        this, Servers->ServerList, [this] { ServersChanged(); },
        [this](TFTPServer* removed) {
            if (Session.CurrentServer == removed) Session.CurrentServer = nullptr;
        });
}

// Server work is refused while a command is still being handled, not only
// while the engine runs it: the executor pumps messages around the command.
void TfrmMain::tb97ConnectClick() {
    if (Session.Busy || Session.Executing() || !Servers) return;
    TFTPServer* chosen = TfrmServerConnectTo::Execute(this, Servers->ServerList, [this] { ServersChanged(); });
    if (chosen != nullptr) Session.ConnectToServer(chosen);
}

// Choosing a server while connected to one means "go there": the session is
// closed first, then the chosen server is connected.
void TfrmMain::itmConnectServerClick(int tag) {
    if (Session.Busy || Session.Executing() || !Servers) return;
    if (Servers->ServerWithTag(tag) == nullptr) {
        tb97ConnectClick();
        return;
    }
    if (Session.FTP.Connected()) {
        Session.DisconnectFromServer();
        if (Session.FTP.Connected() || Session.Busy || Session.Executing()) return;
    }
    // Looked up again: the profiles may have changed while QUIT was waited for.
    if (TFTPServer* profile = Servers->ServerWithTag(tag)) Session.ConnectToServer(profile);
}

void TfrmMain::tb97DisconnectClick() { Session.DisconnectAction(); }

void TfrmMain::tb97RefreshClick() {
    if (Session.Busy || Session.Executing()) return;
    Session.QueueListing();
    Session.QueuePrintDir();
}

void TfrmMain::tb97FolderUpClick() {
    if (Session.Busy || Session.Executing()) return;
    Session.QueueParentDir();
    Session.QueueListing();
    Session.QueuePrintDir();
}

void TfrmMain::tb97HostingClick() {
    const bool opened = OpenUrl ? OpenUrl(HostingAddress) : QDesktopServices::openUrl(QUrl(QString::fromLatin1(HostingAddress)));
    if (!opened) ShowInfo(ApplicationTitle, Translated("TfrmMain", "Please go to : \n") + HostingAddress);
}

// While the folders are compared, the resting hint is the colours' legend.
void TfrmMain::ShowHint(const QString& hint) {
    if (hint.isEmpty() && FolderCompare != nullptr && FolderCompare->On())
        fsbMain->lblHint->setText(FolderCompare->Legend());
    else if (hint.isEmpty())
        fsbMain->lblHint->setText(QCoreApplication::translate("TfrmMain", "Visit Our WebSite at ") +
                                  QString::fromLatin1(MakerAddress));
    else
        fsbMain->lblHint->setText(hint);
}

bool TfrmMain::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        ShowHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TfrmMain::BindConnectingWindow() {
    Session.CreateConnectingWindow = [this](TFTPServer* profile) {
        delete frmServerConnect;
        auto* window = new TfrmServerConnect;
        window->SetServer(*profile);
        window->OnAbort = [this](TfrmServerConnect*) {
            (void)Session.FTP.AbortSessionWait();
            (void)Session.FTP.Quit();
        };
        window->OnDestroy = [this](TfrmServerConnect*) { frmServerConnect = nullptr; };
        CenterOver(window, this);
        frmServerConnect = window;
        window->show();
    };
    Session.ConnectingWindowOpen = [this] { return frmServerConnect != nullptr; };
    Session.AddConnectingLine = [this](const std::string& text, const QColor& colour) {
        frmServerConnect->AddProgressLine(text, colour);
    };
    Session.DestroyConnectingWindow = [this] { delete frmServerConnect; };
}
