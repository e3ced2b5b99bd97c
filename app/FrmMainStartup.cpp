// Start-up and shut-down of the main window.
#include <unistd.h>

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMovie>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "app/FolderProblem.h"
#include "app/FrmMain.h"
#include "app/StatusBar.h"
#include "dialogs/FrmMessage.h"
#include "dialogs/FrmOptions.h"
#include "platform/MessageLoop.h"
#include "profiles/FrmServerConnect.h"
#include "profiles/ServerStore.h"
#include "session/RemoteFileEditor.h"
#include "session/RemoteListView.h"
#include "session/RemotePane.h"
#include "util/IniFile.h"
#include "util/MiscUtils.h"
#include "util/ui/ProgramFolders.h"
#include "util/ui/SpinEdit.h"
#include "util/ui/UiUtils.h"

namespace {

constexpr const char* kPrivateFolders[] = {"TmpPrivate-Cache", "TmpPrivate-Archiving"};
constexpr char kAnimationFile[] = "spin.gif";

// Why the profile file could not be written when nothing blocks its folder.
std::string FileProblem(const std::string& file, int error, const std::string& what) {
    const QFileInfo info(ToQt(file));
    if (!info.absoluteDir().exists())
        return Substitute(Translated("TfrmMain", "The folder %1 does not exist."), {FromQt(info.absolutePath())});
    if (info.isDir()) return Translated("TfrmMain", "A folder of that name is in the way.");
    if (access(file.c_str(), F_OK) == 0 && access(file.c_str(), W_OK) != 0)
        return Substitute(Translated("TfrmMain", "The file cannot be written: %1."), {std::strerror(errno)});
    return error != 0 ? std::string(std::strerror(error)) + "." : what;
}

}  // namespace

void TfrmMain::BindSession() {
    TSessionWidgets& w = Session.W;
    w.mainWindow = this;
    w.pnlServer = pnlServer;
    w.pnlServerToolbar = pnlServerToolbar;
    w.mmoFTPLog = mmoFTPLog;
    w.cbServerDir = cbServerDir;
    w.lblServerName = lblServerName;
    w.lvServerFiles = lvServerFiles;
    w.pbTransferStatus = fsbMain->pbTransferStatus;
    w.lblConnectionTime = fsbMain->lblConnectionTime;
    w.imgConnectedOn = fsbMain->imgConnectedOn;
    w.imgEncrypted = fsbMain->imgEncrypted;
    w.imgConnectedOff = fsbMain->imgConnectedOff;
    w.imgDisconnectedOn = fsbMain->imgDisconnectedOn;
    w.imgDisconnectedOff = fsbMain->imgDisconnectedOff;
    w.tb97Connect = tb97Connect;
    w.tb97Disconnect = tb97Disconnect;
    w.tb97FolderUp = tb97FolderUp;
    w.tb97NewFolder = tb97NewFolder;
    w.tb97Delete = tb97Delete;
    w.tb97Refresh = tb97Refresh;
    w.tb97TransferBin = tb97TransferBin;
    w.tb97TransferAsc = tb97TransferAsc;
    w.tb97TransferAuto = tb97TransferAuto;
    w.animKFTP = animKFTP;
    Session.ChangeLocalDir = [this](const std::string& folder) { SetLocalDir(folder); };
    Session.RefreshLocalFiles = [this] { RefreshLocalFiles(); };
    BindConnectingWindow();
    BindLocalPane();
    BindServerPane();
    BindCompare();
    ShowInfo = [](const std::string& caption, const std::string& text) { ShowInfoBox(caption, text); };
}

void TfrmMain::FormCreate() {
    try {
        QRandomGenerator::global()->generate();  // the global generator seeds itself
        setWindowTitle(QString::fromLatin1(ApplicationTitle));
        lblPromo->setText(QCoreApplication::translate("TfrmMain",
                                                      "To Edit HTML on the server, View Images on the Server, and Backup "
                                                      "your entire Web Site, Download and Install Kestra FTP.\nGet Kestra "
                                                      "FTP now at: ") +
                          QString::fromLatin1(MakerAddress));
        LoadAnimation();
        CreatePrivateFolders();
        cbServerDir->clear();
        LoadWindowPosition();
        // Never a relative name: the profiles would land in whatever folder the
        // program was started from, and seem lost the next time.
        const std::string dataFolder = ProgramFolder();
        Servers = std::make_unique<TServerStore>(dataFolder.empty() ? std::string() : dataFolder + "FTPServers.ini");
        ShowHint(QString());
        Session.ClearLog();
        Session.SessionUp = false;
        Session.ConnectPhase = TConnectPhase::None;
        Session.ConnectedSince = QDateTime::currentDateTime();
        Session.SetConnectedState(false);
        Session.SetBusyState(false);
        Session.ListingTempFile = NewTempFileName();
        Session.ClearCommandQueue();
        frmOptions = new TfrmOptions(this);
        frmOptions->OnApplyOptions = [this](TfrmOptions*, bool showHosting) {
            tb97Hosting->setVisible(showHosting);
            sepHosting->setVisible(showHosting);
            tb97Sell->setVisible(false);
        };
        frmOptions->ApplyOptions();
        Session.W.sedtTimeOut = frmOptions->sedtTimeOut;
        Session.W.frmOptions = frmOptions;
        LoadInterfaceSettings();
        Servers->ClearServers();
        Servers->LoadServers();
        if (Servers->InMemoryOnly()) ReportUnusableDataFolder();
        Session.WaitMode = Servers->WaitMode;
        FillServerMenu();
    } catch (const std::exception& error) {
        ShowInfo(ApplicationTitle, error.what());
    } catch (...) {
        ShowInfo(ApplicationTitle, Translated("TfrmMain", "Unexpected error while starting."));
    }
    // The message window lives for the whole run, outside the main window.
    frmMessage = new TfrmMessage(this);
    Session.W.frmMessage = frmMessage;
}

void TfrmMain::LoadAnimation() {
    const QString file = ToQt(ProgramResourceFile(kAnimationFile));
    if (!QFileInfo::exists(file)) {
        animKFTP->setMovie(nullptr);
        return;
    }
    movKFTP = new QMovie(file, QByteArray(), this);
    animKFTP->setMovie(movKFTP);
    movKFTP->jumpToFrame(0);
}

// Both folders start every run present and empty. They are kept under the
// program's own folder, which only its owner can read.
void TfrmMain::CreatePrivateFolders() {
    const std::string base = ProgramFolder();
    if (base.empty()) return;
    for (const char* name : kPrivateFolders) {
        const std::string path = base + name;
        (void)MakeFolder(path);
        try {
            CreateEmptyFile(WithTrailingBackslash(path) + "kftp");
            (void)DeleteFolderTree(path);
            (void)MakeFolder(path);
        } catch (...) {
            // A private folder that cannot be emptied now is emptied at the next start.
        }
    }
}

void TfrmMain::RemovePrivateFolders() {
    const std::string base = ProgramFolder();
    if (base.empty()) return;
    for (const char* name : kPrivateFolders) (void)DeleteFolderTree(base + name);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    // Closing ends the program, and with it the files still to go.
    if (RemotePane != nullptr && RemotePane->QueueRunning() &&
        AskYesNo(ApplicationTitle, FromQt(tr("Transfers are still waiting or running. Abandon them and close?"))) != IDYES) {
        event->ignore();
        return;
    }
    // Saved edits of server files are offered once more; Cancel stays.
    if (RemotePane != nullptr && !RemotePane->Editor->OfferUnsentEdits()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TfrmMain::FormClose() {
    if (formClosed_) return;
    formClosed_ = true;
    try {
        SaveWindowPosition();
    } catch (...) {
        // Closing never stops at a position that cannot be stored.
    }
    // Closing the main window ends the program: waiting loops stop, and the
    // request this aborts is no failure to tell the user about.
    platform::SetApplicationTerminated(true);
    // The connecting window is a top-level window of its own; left open, it
    // would keep the program running without its main window.
    delete frmServerConnect;
    try {
        Session.ClearCommandQueue();
        (void)Session.FTP.AbortSessionWait();
        Session.SetBusyState(false);
        Session.SetConnectedState(false);
    } catch (...) {
        // Closing goes on whatever the engine does.
    }
}

TfrmMain::~TfrmMain() { FormDestroy(); }

void TfrmMain::FormDestroy() {
    if (formDestroyed_) return;
    formDestroyed_ = true;
    try {
        if (!Session.ListingTempFile.empty()) std::remove(Session.ListingTempFile.c_str());
    } catch (...) {
        // A listing file left behind lies in the private temporary folder.
    }
    try {
        SaveInterfaceSettings();
    } catch (...) {
        // Shut-down goes on without the layout; it is saved again next time.
    }
    if (Servers && Servers->InMemoryOnly()) {
        if (Servers->ServerList.Count() > 0) ReportSaveFailure(ProgramFolderLocation() + "FTPServers.ini", "", true);
    } else if (Servers) {
        SaveServersOrReport(true);
        Servers->ClearServers();
    }
    Session.CurrentServer = nullptr;
    Session.ClearCommandQueue();
    RemovePrivateFolders();
    // The connecting window is a top-level window of its own; it must not
    // outlive the engine it would abort.
    delete frmServerConnect;
    delete frmMessage;
    frmMessage = nullptr;
    Session.W = TSessionWidgets{};
}

void TfrmMain::SaveServersOrReport(bool atExit) {
    try {
        Servers->SaveServers();
    } catch (const std::exception& error) {
        ReportSaveFailure(Servers->ServerIniFile, error.what(), atExit);
    } catch (...) {
        ReportSaveFailure(Servers->ServerIniFile, "unknown error", atExit);
    }
}

// Profiles the user edited in this run would be lost without a word; say
// which file could not be written and why, before the program ends.
void TfrmMain::ReportSaveFailure(const std::string& file, const std::string& what, bool atExit) {
    const int saved = errno;
    std::string reason = FolderProblem(FromQt(QFileInfo(ToQt(file)).absolutePath()));
    if (reason.empty()) reason = FileProblem(file, saved, what);
    const std::string consequence =
        atExit ? Translated("TfrmMain", "Changes made to the server list in this session are lost.")
               : Translated("TfrmMain", "The change is kept until the program ends; it is saved again then.");
    try {
        ShowInfo(ApplicationTitle, Substitute(Translated("TfrmMain", "The FTP server list could not be saved to\n%1\n\n%2\n\n%3"),
                                              {file, reason, consequence}));
    } catch (...) {
        // At exit nothing more can be done when even the notice fails.
    }
}

void TfrmMain::ReportUnusableDataFolder() {
    const std::string folder = WithoutTrailingBackslash(ProgramFolderLocation());
    std::string reason = FolderProblem(folder);
    if (reason.empty()) reason = Translated("TfrmMain", "It cannot be created.");
    ShowInfo(ApplicationTitle, Substitute(Translated("TfrmMain",
                                                     "The program's data folder cannot be used:\n%1\n\n%2\n\nServer "
                                                     "profiles are kept until the program ends, but cannot be saved."),
                                          {folder, reason}));
}
