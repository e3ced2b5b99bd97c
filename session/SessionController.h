#pragma once
// The FTP side of the main window: the command queue and its executor, the
// handlers of the engine's events, the log pane and the connected and busy
// states of the server side. The main window owns one controller, hands it
// the widgets it drives and forwards its server actions to it.
//
// Everything runs on the user-interface thread. The executor waits inside
// engine operations while the message loop keeps running, so every public
// operation may be entered again from a handler; only one command ever runs
// at a time.

#include <QColor>
#include <QCoreApplication>
#include <QDateTime>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ftp/Ftpcli.h"
#include "session/FTPCommand.h"
#include "session/FrmDownload.h"
#include "session/LogLine.h"
#include "transfer/FileExistsRule.h"
#include "transfer/FtpTransferConnection.h"
#include "transfer/RemoteEntry.h"

class QAbstractButton;
class QAction;
class QComboBox;
class QLabel;
class QMovie;
class QProgressBar;
class QTimer;
class QWidget;
class TFTPServer;
class TLogView;
class TRemoteListView;
class TSpinEdit;
class TfrmMessage;
class TfrmOptions;

// How far the last connect got: a failure before the server was reached is
// worded with the host it tried.
enum class TConnectPhase : std::uint8_t {
    None,      // no attempt yet
    Reaching,  // the connect has not reached the server
    Reached,   // the engine reported its connected state
};

// The window's controls the controller reads or switches; any may be null.
struct TSessionWidgets {
    QWidget* mainWindow = nullptr;
    QWidget* pnlServer = nullptr;
    QWidget* pnlServerToolbar = nullptr;
    TLogView* mmoFTPLog = nullptr;
    QComboBox* cbServerDir = nullptr;
    QLabel* lblServerName = nullptr;  // the connected profile's name
    TRemoteListView* lvServerFiles = nullptr;
    QProgressBar* pbTransferStatus = nullptr;
    QLabel* lblConnectionTime = nullptr;  // status panel 2
    QLabel* imgConnectedOn = nullptr;
    QLabel* imgConnectedOff = nullptr;
    QLabel* imgDisconnectedOn = nullptr;
    QLabel* imgDisconnectedOff = nullptr;
    QLabel* imgEncrypted = nullptr;  // the lock, shown while the session is encrypted
    QAction* tb97Connect = nullptr;
    QAction* tb97Disconnect = nullptr;
    QAction* tb97FolderUp = nullptr;
    QAction* tb97NewFolder = nullptr;
    QAction* tb97Delete = nullptr;
    QAction* tb97Refresh = nullptr;
    QAction* tb97TransferBin = nullptr;
    QAction* tb97TransferAsc = nullptr;
    QAction* tb97TransferAuto = nullptr;
    QLabel* animKFTP = nullptr;  // plays its movie, if any, while busy
    TSpinEdit* sedtTimeOut = nullptr;
    TfrmOptions* frmOptions = nullptr;  // transfer type list, sounds, auto-refresh
    TfrmMessage* frmMessage = nullptr;
};

class TSessionController {
    Q_DECLARE_TR_FUNCTIONS(TSessionController)

public:
    // Off in every build; tests switch it on to see the executor's trace.
    static constexpr bool DebugLogDefault = false;

    TSessionController();
    ~TSessionController();
    TSessionController(const TSessionController&) = delete;
    TSessionController& operator=(const TSessionController&) = delete;

    TFtpClient FTP;
    TSessionWidgets W;
    bool DebugLog = DebugLogDefault;

    // ---- session state ----------------------------------------------------
    struct QueueEntry {
        std::string key;  // the kind number in decimal
        std::unique_ptr<TFTPCommand> command;
    };
    std::deque<QueueEntry> CommandQueue;
    bool WaitMode = true;
    bool Busy = false;
    TFTPServer* CurrentServer = nullptr;  // not owned; may be freed meanwhile
    std::string CurrentRemoteDir;
    std::string ListingTempFile;
    bool AbortRequested = false;
    bool ConnectInProgress = false;
    bool SessionUp = false;
    QDateTime ConnectedSince;
    TConnectPhase ConnectPhase = TConnectPhase::None;
    bool ConnectedState() const { return connectedState_; }
    // The session may take commands: connected, or closed by the server
    // while idle and reconnected by the next command.
    bool SessionAlive() const { return FTP.Connected() || reconnectPending_; }

    // ---- hooks the window and the next features fill ---------------------
    // The connecting window: opened for a profile by ConnectToServer, fed
    // with progress lines while open, freed without its close handling.
    std::function<void(TFTPServer* profile)> CreateConnectingWindow;
    std::function<bool()> ConnectingWindowOpen;
    std::function<void(const std::string& text, const QColor& colour)> AddConnectingLine;
    std::function<void()> DestroyConnectingWindow;
    // Switches the local pane to a profile's local start folder.
    std::function<void(const std::string& folder)> ChangeLocalDir;
    // Re-reads the local file list (after a download).
    std::function<void()> RefreshLocalFiles;
    // Plays a finished transfer's sound; false when it could not.
    std::function<bool(const std::string& waveFile)> PlaySound;
    // Asks about a server certificate that does not verify, or that differs
    // from the one trusted always ("host:port", the certificate, changed);
    // the certificate window when unset.
    std::function<TFtpCertificateDecision(const std::string& server, const TSslCertificateInfo& certificate, bool changed)>
        AskCertificate;
    // Where "trust always" is remembered; beside the profile file when empty.
    std::string CertificateTrustFile;
    // The progress window of the running transfer; null when there is none
    // or the user closed it.
    QPointer<TfrmDownload> TransferWindow;

    // ---- queue and executor -------------------------------------------------
    void EnqueueCommand(std::unique_ptr<TFTPCommand> command);
    void ExecuteNextCommand();
    void ClearCommandQueue();
    void ConnectToServer(TFTPServer* profile);
    void DisconnectFromServer();
    // The Disconnect button and menu item: aborts a running request first.
    void DisconnectAction();
    // True from taking a command off the queue until it has been handled.
    bool Executing() const { return executing_; }

    // `machine`: MLSD where the server offers it. Folder walks list by LIST:
    // servers that follow links in MLSD (pyftpdlib) hide the link targets
    // the walk's loop guard reads.
    void QueueListing(bool machine = true);
    void QueuePrintDir();
    void QueueChangeDir(const std::string& dir);
    void QueueParentDir();
    void QueueDeleteFile(const std::string& name);
    void QueueRemoveDir(const std::string& name);
    void QueueRename(const std::string& oldName, const std::string& newName);
    void QueueMakeDir(const std::string& name);
    void QueueSetType(bool binary);
    void QueueFileSize(const std::string& name);
    void QueueFileTime(const std::string& name);
    // `flags` are the nine permission flags, owner read first.
    void QueueSiteChmod(const std::string& name, const bool (&flags)[9]);
    // resumeAt > 0 appends the local file from that offset on (APPE).
    void QueueUpload(const std::string& localPath, const std::string& remoteDir, std::int64_t size, bool binary,
                     const std::string& remoteName, std::int64_t resumeAt = 0);
    void QueueDownload(const std::string& localPath, std::int64_t resumeAt, std::int64_t size, bool binary,
                       const std::string& remoteName, const std::string& remoteDir);

    // ---- remote listing -------------------------------------------------
    // Replaces the remote list's entries with those of a listing file, then
    // deletes the file; a missing file leaves the list as it is.
    void ParseListing(const std::string& fileName);
    // The entries of the last listing as the transfer layer reads them
    // (exact size, UTC time with its precision), kept only while
    // KeepListedEntries is set: the folder comparison needs them, and a
    // listing of 100,000 entries should not pay for them otherwise.
    bool KeepListedEntries = false;
    std::vector<TRemoteEntry> ListedEntries;
    // Adds one entry; a link ("l...") is resolved by asking the server for
    // its size, which runs before this returns in the waiting mode.
    void AddRemoteItem(std::string name, std::string permission, std::string_view owner, std::string_view group, std::string size,
                       std::string_view modified);
    // Results of the last change of directory and the last listing, for
    // folder walks that must not read a list the server did not send.
    bool LastChangeDirOk = false;
    bool LastListingOk = false;

    // Whether a file (`name` relative to the current folder) is on the
    // server, with its size, asked with SIZE in the waiting mode; Unknown
    // when the server answers neither a size nor "no such file".
    enum class TRemoteFileState { Absent, Present, Unknown };
    TRemoteFileState ProbeRemoteFile(const std::string& name, TFileFacts& facts);
    // The file's modify time by MDTM; nullopt when the server gives none.
    std::optional<std::int64_t> RemoteFileTime(const std::string& name);
    // Where a connection of its own (a tree walk, the transfer queue) logs
    // in: the session's server, account, proxy and encryption.
    TFtpEndpoint TransferEndpoint();

    // ---- transfers ------------------------------------------------------------
    // Binary unless the ASCII button is down, or the automatic choice finds
    // the name's extension in the text list (and not in the fixed binary one).
    bool ChooseBinaryMode(const std::string& fileName) const;
    // The status bar's progress runs from 0 to ProgressScale whatever the
    // file's size (its integer range ends at 2 GiB).
    static constexpr int ProgressScale = 1000;
    static int ScaledProgress(std::int64_t count, std::int64_t total);
    // The option "Keep file times".
    bool KeepFileTimesOn() const;
    // The sound the options name for an ended upload or download, if any.
    void PlayTransferSound(bool upload);

    // ---- log and status -------------------------------------------------
    void AddLogLine(const std::string& text, TLogKind kind);
    // The message window (a message box without one) with `text`.
    void ShowFailureText(const std::string& text);
    void ClearLog();
    void SetConnectedState(bool on);
    void SetBusyState(bool on);
    void StartActivityAnimation();
    void StopActivityAnimation();

    // Everything above is the window's contract: the main window, the remote
    // pane and the tests use it. What follows is the controller's own.
private:
    // The name of CurrentServer, shown beside "Server:" while connected.
    std::string CurrentServerName;
    // The PASV choice of CurrentServer, taken when connecting.
    bool CurrentPassive = false;
    int FolderIconIndex = -1;
    // "host:port sha256" of the certificate the user let pass in this
    // session: the side connections of its transfers are not asked again.
    std::string acceptedCertificate_;
    int FileIconIndex = -1;
    void FTPProgress(TCustomFtpCli* Sender, std::int64_t Count, bool& Abort);
    void tmrUpdateConnectionTimeTimer();
    QTimer* ConnectionTimer() const { return tmrUpdateConnectionTime_; }
    // engine event handlers
    void FTPCommand(TCustomFtpCli* Sender, std::string& Cmd);
    void FTPDisplay(TCustomFtpCli* Sender, std::string& Msg);
    void FTPStateChange(TCustomFtpCli* Sender);
    void FTPSessionConnected(TCustomFtpCli* Sender, std::uint16_t Error);
    void FTPSessionClosed(TCustomFtpCli* Sender, std::uint16_t Error);
    void FTPCertificateCheck(const TSslCertificateInfo& Certificate, TFtpCertificateDecision& Decision);
    void ShowEncryptedLock();
    void FTPReadyToTransmit(TCustomFtpCli* Sender, bool& bCancel);
    void FTPRequestDone(TCustomFtpCli* Sender, TFtpRequest RqType, std::uint16_t Error);

    std::unique_ptr<TFTPCommand> NewCommand(std::int32_t kind) const;
    void Enqueue(std::unique_ptr<TFTPCommand> command);
    // A command whose only parameter is a remote name.
    void QueueOnFile(std::int32_t kind, const std::string& name);
    void QueueTransfer(std::int32_t kind, const std::string& localPath, const std::string& remoteDir,
                       const std::string& remoteName, std::int64_t size, bool binary, std::int64_t resumeAt);
    bool RunNextCommand();
    bool PrepareEngine(TFTPCommand& command);
    bool RunOperation(TFTPCommand& command);
    void ReportFailure(const TFTPCommand& command);
    void ResetTransferProgress();
    void ReplyDirectoryDone();
    bool ConnectingOpen() const;
    void DestroyConnecting();
    std::string StateText() const;
    struct TypeOfExtension {
        int text;
        int icon;
    };
    void LoadListingIcons();
    // One line of an MLSD listing: its facts, the time in the local zone.
    void AddMachineItem(std::string_view line);
    // One listing line into ListedEntries.
    void KeepEntries(std::string_view line, std::int64_t nowUtc);
    const TypeOfExtension& TypeOf(const std::string& extension);
    std::int64_t ResolveLinkSize(const std::string& name);

    // ---- keeping file times (SessionFileTimes.cpp) ----------------------------
    // After a transfer that ended well: the local file gets the server's
    // time (download), or the server's file the local one (upload). A
    // failure is a line in the log, never a failed transfer.
    void KeepFileTime(const TFTPCommand& command);

    // ---- keep-alive and reconnecting (SessionReconnect.cpp) ------------------
    // Restarts the idle count after a command; stopped while disconnected or
    // with an interval of 0.
    void RestartKeepAlive();
    void KeepAliveTimeout();
    // Runs the command; when it finds the session closed by the server (a 421
    // or a reset, not a time-out), reconnects once and runs it again, unless
    // it is a transfer that may have moved data.
    bool RunReconnecting(TFTPCommand& command);
    // Logs in again with the session's profile, returns to CurrentRemoteDir
    // and sets the transfer type `command` needs. False, with the engine's
    // failure kept, when any step fails.
    bool Reconnect(const TFTPCommand& command);
    // Takes the mark of a close by the server during the last command; true
    // when the session is worth reconnecting.
    bool TakeServerClose();
    // A close the user did not ask for, of a logged-in session: the window
    // goes on showing it; true when it was taken so.
    bool KeepClosedSession();
    // A download's local time is set after it ends: the local list is read
    // then, not when the data is in.
    bool timeFollows_ = false;
    // The last log-in's parameters, for reconnecting.
    TFTPCommand sessionLogin_;
    // The kind of the command being handled (0 between commands).
    std::int32_t runningKind_ = 0;
    // The server closed a session the window still shows; the next command
    // reconnects first.
    bool reconnectPending_ = false;
    // The server closed the session while a command ran.
    bool serverClosed_ = false;
    // The user's disconnect is tearing the session down.
    bool userClosing_ = false;
    QTimer* keepAlive_;

    bool connectedState_ = false;
    // True from taking a command off the queue until it has been handled, so
    // a nested ExecuteNextCommand (from a handler run while the executor
    // waits) never starts a second one.
    bool executing_ = false;
    void PrepareTransfer(const TFTPCommand& command);
    void EndTransfer(bool upload);
    void ReleaseTransferWindow();
    void ShowTransferProgress(std::int64_t count);
    void ShowPendingProgress();
    // The size the status bar's progress is scaled against (files beyond
    // 2 GiB do not fit its integer range).
    std::int64_t transferTotal_ = 0;
    // When the progress window and the status bar were last refreshed, the
    // latest count, and the timer that shows it when no block follows soon.
    double lastProgressPaint_ = -1;
    std::int64_t pendingProgress_ = 0;
    QTimer* progressCatchUp_;
    // A listing finished while its command was still being handled; it is
    // read once the executor is free again, so that the SIZE commands of its
    // links can run.
    bool pendingListing_ = false;
    bool seenDot_ = false;
    bool seenDotDot_ = false;
    bool linkTypeSet_ = false;
    int folderType_ = 0;
    std::unordered_map<std::string, TypeOfExtension> listingTypes_;
    // Counts finished SIZE requests, to tell whether a link's SIZE really ran.
    std::uint64_t sizeRepliesSeen_ = 0;
    QTimer* tmrUpdateConnectionTime_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
