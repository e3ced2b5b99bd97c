#pragma once
// The main window: toolbar strip, local and remote panes, promotional panel,
// FTP log and status bar, with the menus. Its server work is done by the
// session controller it owns (`Session`); the handlers here forward to it.
//
// Construction runs FormCreate (the start-up steps); closing runs FormClose
// and destruction FormDestroy. An error in a start-up step is shown and the
// remaining steps are skipped; the window still opens.

#include <QCoreApplication>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "localpane/LocalFileList.h"
#include "profiles/ServerStore.h"
#include "session/SessionController.h"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QListWidgetItem;

class QMenu;
class QMovie;
class QProgressBar;
class QSplitter;
class QTabWidget;
class QToolBar;
class QToolButton;
class TLogView;
class TRemoteListView;
class TFolderCompare;
class TRemotePane;
class TTransferListView;
class TLocalPane;
class TStatusBar;
class TfrmMessage;
class TfrmOptions;
class TfrmServerConnect;
class TFTPServer;

class TfrmMain : public QMainWindow {
    Q_DECLARE_TR_FUNCTIONS(TfrmMain)

public:
    // The first size, before the user's own is stored: the design's 539 x 442
    // (local pane 185) cut off the file names on the left and the remote
    // list's columns on the right; this size shows both and fits a 1024 x 768
    // screen.
    static constexpr int DesignWidth = 860;
    static constexpr int DesignHeight = 600;
    static constexpr int DesignLocalWidth = 340;
    static constexpr int DesignLogHeight = 65;
    static constexpr char InterfaceKey[] = "Software\\Orvan Software\\Velliant FTP\\Interface\\";
    static constexpr char MakerAddress[] = "https://orvan-software.example.com/";
    static constexpr char HostingAddress[] = "https://hosting.orvan-software.example.com/";

    TfrmMain();
    ~TfrmMain() override;

    // ---- the window's parts (names as the window definition has them) ------
    QWidget* pnlServerToolbar;
    QToolBar* tbServer;
    QAction* tb97Connect;
    QAction* tb97Disconnect;
    QAction* tb97AddServer;
    QAction* tb97FolderUp;
    QAction* tb97NewFolder;
    QAction* tb97Delete;
    QAction* tb97Refresh;
    QAction* tb97TransferBin;
    QAction* tb97TransferAsc;
    QAction* tb97TransferAuto;
    QAction* tb97Compare;  // checkable, with itmViewCompare
    QAction* sepHosting;   // the separator before the hosting button, shown with it
    QAction* tb97Hosting;
    QAction* tb97Sell;  // promotional; hidden whenever the options are applied
    QLabel* animKFTP;
    QMovie* movKFTP = nullptr;

    QWidget* pnlLocalAndRemote;
    QSplitter* spltFTP;
    TLocalPane* pnlLocal;
    QLabel* lblLocal;
    QComboBox* cbLocalDrive;
    QListWidget* lbDirectory;
    QComboBox* cbFilter;
    TLocalFileList* lbFiles;
    QWidget* pnlServer;
    QLabel* lblServer;
    QLabel* lblServerName;
    QComboBox* cbServerDir;
    TRemoteListView* lvServerFiles;
    // The remote pane's behaviour: list keys, context menu, folder box.
    TRemotePane* RemotePane = nullptr;
    // The colours of the two folders' comparison.
    TFolderCompare* FolderCompare = nullptr;

    QFrame* pnlPromo;
    QLabel* lblPromo;
    QSplitter* spltLog;  // between the areas above and the log pane
    QWidget* pnlFTPLog;
    TLogView* mmoFTPLog;
    // The log and the transfer queue, in tabs.
    QTabWidget* pgcLog;
    TTransferListView* lvTransfers;
    TStatusBar* fsbMain;

    QMenu* mnuFile;
    QAction* itmFileExit;
    QMenu* mnuEdit;
    QAction* itmOptions;
    QMenu* mnuView;
    QAction* itmViewFTPLog;
    QMenu* mnuServers;
    QAction* itmAddServer;
    QAction* itmEditServer;
    QAction* itmRemoveServer;
    QAction* itmConnectToServer;
    QAction* itmDisconnectFromServer;
    QAction* itmRefresh;
    QAction* itmViewCompare;
    QAction* itmSynchronise;
    QAction* itmUpload;
    QAction* itmDownload;
    QMenu* mnuHelp;
    QAction* itmAbout;

    // ---- shell state -------------------------------------------------------
    TSessionController Session;
    std::unique_ptr<TServerStore> Servers;
    TfrmOptions* frmOptions = nullptr;
    TfrmMessage* frmMessage = nullptr;
    QPointer<TfrmServerConnect> frmServerConnect;
    std::string WindowPositionKey;
    // Shows a message box; replaceable so tests can record instead of block.
    std::function<void(const std::string& caption, const std::string& text)> ShowInfo;
    // Asks the desktop to open a web page; false when it could not.
    std::function<bool(const std::string& url)> OpenUrl;

    // ---- start-up and shut-down --------------------------------------------
    void FormCreate();
    void FormClose();
    void FormDestroy();
    void CreatePrivateFolders();
    void RemovePrivateFolders();
    void LoadWindowPosition();
    void SaveWindowPosition();
    void LoadInterfaceSettings();
    void SaveInterfaceSettings();

    // ---- menus and toolbar -------------------------------------------------
    void itmFileExitClick();
    void itmOptionsClick();
    void itmViewFTPLogClick();
    void itmAboutClick();
    void itmServersClick();
    void itmAddServerClick();
    void itmEditServerClick();
    void itmRemoveServerClick();
    void itmConnectServerClick(int tag);
    void tb97ConnectClick();
    void tb97DisconnectClick();
    void tb97RefreshClick();
    void tb97FolderUpClick();
    void tb97HostingClick();
    // Turns the comparison on or off, from the toolbar or the View menu.
    void SetCompare(bool on);
    void itmSynchroniseClick();
    void ShowHint(const QString& hint);
    void FillServerMenu();

    // ---- ftp:// and ftps:// links from the command line ------------------------
    // Connects to the link's server and folder. The password comes from the
    // link, else from a saved profile of the same server and user, else from
    // the user (cancelling connects to nothing). Once connected, a server
    // that no profile holds is offered to be saved as one. A text that is no
    // such link is shown with ShowInfo.
    void OpenLink(const std::string& text);

    // Moves the profiles' passwords into the desktop keyring or back into
    // the profile file (the option of the Options dialog) and says in the
    // log where they are now.
    void MovePasswords(bool toKeyring);
    // At the first start where a Secret Service runs, asks once whether the
    // passwords should go to the desktop keyring (the program's start-up
    // calls it once the window shows; the option stays off until then).
    void OfferKeyringOnce();

    // ---- local pane (its behaviour lives in TLocalPane) ----------------------
    std::string LocalDrive() const;
    std::string LocalDir() const;
    // Raise std::runtime_error for a volume that is not mounted or a folder
    // that cannot be read; the pane then stays as it was.
    void SetLocalDrive(const std::string& root);
    void SetLocalDir(const std::string& folder);
    void SetLocalFilter(int index);
    void RefreshLocalFiles();

    // ---- remote pane ---------------------------------------------------------
    void SetServerViewStyle(int style);

    // ---- layout ------------------------------------------------------------
    // Width of the local pane; before the window is first shown, the width
    // it will get.
    int LocalWidth() const;
    void SetLocalWidth(int width);
    // Height of the log pane, shown or not; while hidden or before the window
    // is first shown, the height it will get.
    int LogHeight() const;
    void SetLogHeight(int height);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildMenus();
    void BuildToolbar();
    void BindMenuShortcuts();
    QWidget* BuildLocalPane();
    QWidget* BuildServerPane();
    void BuildPromo();
    void BuildLog(QWidget* above);
    void BindSession();
    void BindConnectingWindow();
    void BindLocalPane();
    void BindServerPane();
    void BindCompare();
    void LoadAnimation();
    void ApplyLocalPaneSettings(const class TSettingsKey& key);
    // Names the file that could not be written and why; `atExit` says the
    // changes are lost, otherwise that they are saved again at exit.
    void ReportSaveFailure(const std::string& file, const std::string& what, bool atExit);
    // After every change to the profiles: the menu and the file follow.
    void ServersChanged();
    // Writes the profile file; a failure is reported, never raised.
    void SaveServersOrReport(bool atExit);
    void ReportUnusableDataFolder();

    int pendingLocalWidth_ = DesignLocalWidth;
    int pendingLogHeight_ = DesignLogHeight;
    bool shownOnce_ = false;
    bool formClosed_ = false;
    bool formDestroyed_ = false;
    // The server of the link OpenLink connected to, while it is in no
    // profile: the session's CurrentServer points here.
    std::unique_ptr<TFTPServer> linkServer_;
};
