#pragma once
// The behaviour of the main window's right-hand pane: the remote list's
// keys, double-click, context menu, in-place rename and drops, and the
// folder box. Every step on the server becomes queued commands of the
// session controller; the window creates one pane and wires it.
//
// Handlers that start server work are refused while a command runs (the
// controller is Busy or still handling one).

#include <QCoreApplication>
#include <QObject>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "transfer/FileExistsRule.h"
#include "transfer/TransferItem.h"

class QAction;
class QComboBox;
class QEvent;
class QKeyEvent;
class QLabel;
class QMenu;
class QWidget;
class TRemoteFileEditor;
class TRemoteListView;
class TSessionController;
class TDirEntry;
class TTransferListView;
class TWindowQueue;
class TTransferConnection;
struct TFileTree;
struct TFtpEndpoint;

class TRemotePane : public QObject {
    Q_DECLARE_TR_FUNCTIONS(TRemotePane)

public:
    TRemotePane(TSessionController& session, TRemoteListView* list, QComboBox* dirs, QWidget* window);
    ~TRemotePane() override;
    TRemotePane(const TRemotePane&) = delete;
    TRemotePane& operator=(const TRemotePane&) = delete;

    // ---- the context menu (popServerFiles) --------------------------------
    QMenu* popServerFiles;
    QAction* itmSrvFilesDownload;
    QAction* itmSrvFilesDownloadAs;
    QAction* itmSrvFilesEdit;
    QAction* itmSrvFilesNewFolder;
    QAction* itmSrvFilesRename;
    QAction* itmSrvFilesDelete;
    QAction* itmSrvFilesChMod;
    QAction* itmSrvFilesProperties;
    QMenu* mnuSrvFilesView;
    QAction* itmSrvFilesViewLarge;
    QAction* itmSrvFilesViewSmall;
    QAction* itmSrvFilesViewList;
    QAction* itmSrvFilesViewDetails;

    // ---- what the pane needs from the rest of the window ---------------------
    // The local pane's current folder and its file list; the local list is
    // refreshed after downloads.
    std::function<std::string()> LocalFolder;
    std::function<std::vector<std::string>()> SelectedLocalFiles;
    std::function<void()> RefreshLocalFiles;
    // True for the widget (the local file list) a drop on the remote list is
    // accepted from.
    std::function<bool(const QObject* source)> IsLocalFileList;
    // True for the local folder list; a drop from it uploads the folder
    // DraggedLocalFolder names.
    std::function<bool(const QObject* source)> IsLocalFolderList;
    std::function<std::string()> DraggedLocalFolder;
    // The queue pane the work is shown in; may be null.
    TTransferListView* QueueView = nullptr;
    // Server files opened for editing ("Edit" of the context menu).
    TRemoteFileEditor* Editor;
    // Transfers or deletions wait or run on their own connections.
    bool QueueRunning() const;
    // The queue pane's Stop.
    void StopQueue();

    // ---- handlers --------------------------------------------------------------
    void lvServerFilesDblClick();
    // Enter acts as a double-click; Backspace and Alt+Up open the parent
    // folder; Shift+F10 opens the context menu. True when the key was used.
    bool lvServerFilesKeyDown(const QKeyEvent& key);
    // Delete, F2 and F5 act on release; true when the key was used.
    bool lvServerFilesKeyUp(const QKeyEvent& key);
    void popServerFilesPopup();
    void cbServerDirClick();
    // Enter in the folder box: the typed text, unchanged.
    void cbServerDirKeyPress();
    void itmSrvFilesDownloadClick();
    void itmSrvFilesDownloadAsClick();
    // Each selected file is downloaded and opened for editing.
    void itmSrvFilesEditClick();
    void itmSrvFilesNewFolderClick();
    void itmSrvFilesRenameClick();
    void itmSrvFilesDeleteClick();
    void itmSrvFilesChModClick();
    void itmSrvFilesPropertiesClick();
    // Local files dropped on the list: into the folder of `row` when it is a
    // folder's row, else into the current folder.
    void lvServerFilesDragDrop(int row);
    // Uploads the local list's selected files to the current remote folder,
    // or to its subfolder `into` (a name in the current folder).
    void UploadSelectedLocalFiles(const std::string& into = {});
    // Uploads a local folder with everything in it into the current remote
    // folder, or its subfolder `into`: made as needed, empty folders
    // included, on connections of their own.
    void UploadFolderTree(const std::string& localFolder, const std::string& into = {});
    // Makes one of the current folders like the other, as the user chooses
    // and approves: the choices, then both trees walked (the server's on a
    // connection of its own), the plan shown with ticks, and the ticked
    // actions run by the transfer queue.
    void SynchroniseFolders();
    // Runs items again (the queue pane's Retry failed).
    void RetryItems(const std::vector<TTransferItem>& items);
    // Up one folder: change to the parent, print directory, listing.
    void OpenParentFolder();
    void SetViewStyle(int style);

    // Downloads the remote folder `remoteFolder` with everything in it into
    // `localFolder` (made as needed), walked and run on connections of their
    // own. Links, names that could leave the folder and anything deeper
    // than the walker goes are left out and listed at the end; an existing
    // local file is replaced, resumed or skipped as the question says.
    void DownloadFolderTree(const std::string& localFolder, const std::string& remoteFolder);

    // Opens a folder: change directory, print directory, listing.
    void OpenFolder(const std::string& dir);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenu();
    void BindList();
    void BindFolderBox();
    void BindEditor();
    bool Refused() const;
    bool DragEvent(QObject* target, QEvent* event);
    // The folder row under a drag at `at` in `target` (a view or its
    // viewport); -1 for none.
    int FolderRowAt(QObject* target, QPoint at) const;
    bool IsFolderBoxPart(const QObject* watched) const;
    bool FolderBoxKeyDown(QObject* watched, const QKeyEvent& key);
    std::vector<TDirEntry> CollectEntries(const std::vector<int>& rows) const;
    bool AcceptName(const std::string& name);
    // The queue's item for one file, after the file-exists question; none
    // when it is skipped.
    std::optional<TTransferItem> DownloadFile(const TDirEntry& entry, const std::string& localPath, const std::string& remoteDir);
    // `remoteName` relative to the current folder, in `remoteDir`.
    std::optional<TTransferItem> UploadFile(const std::string& localPath, const std::string& remoteDir,
                                            const std::string& remoteName);
    TTransferItem WithServerTime(TTransferItem item);
    std::vector<TTransferItem> PlanFolderDownload(const std::string& localRoot, const std::string& remoteRoot,
                                                  const TFileTree& remote);

    // RemotePaneDelete.cpp: folders (and the files selected with them)
    // with everything they hold.
    void DeleteTrees(const std::vector<std::pair<std::string, bool>>& entries, const std::string& question);

    // RemotePaneQueue.cpp: adds `items` to the window's queue (a logged-in
    // `connection`, when given, is put to work); their failures are listed
    // under `heading` (a pattern with %1 for "N entries were") when the
    // run ends, after `problems`.
    void Enqueue(const std::vector<TTransferItem>& items, const char* heading,
                 std::unique_ptr<TTransferConnection> connection = nullptr, const std::vector<std::string>& problems = {},
                 bool listServerAfter = false);
    void RunEnded(bool filesUp, bool filesDown, bool serverTreeChanged);
    // A logged-in connection for a tree walk; null, with `failure` (a
    // pattern with %1 for why) shown, when there is none.
    std::unique_ptr<TTransferConnection> ConnectWalker(const QString& failure);
    // A blocking run of `items` to `endpoint`, a server that need not be
    // the session's (an edited file goes back where it came from); the
    // failures, one line each.
    std::vector<std::string> RunOnServer(const TFtpEndpoint& endpoint, std::unique_ptr<TTransferConnection> connection,
                                         const std::vector<TTransferItem>& items);

    // RemotePaneUpload.cpp
    int TransferConnections() const;
    std::vector<TTransferItem> PlanFolderUpload(const std::string& localRoot, const std::string& remoteRoot,
                                                const TFileTree& local, const TFileTree& remote,
                                                std::vector<std::string>& problems);

    // RemotePaneExists.cpp: a user's action (a click, a drop) is one
    // transfer, for which "do this for the rest" holds.
    void BeginTransferAction();
    TFileExistsAnswer DefaultExistsAnswer() const;
    TFileExistsChoice DecideExisting(const std::string& shownPath, bool upload, const TFileFacts& local, TFileFacts remote,
                                     bool canResume, const std::string& remoteName);
    void LogSkipped(const std::string& path, const std::string& why);
    bool RemoteNameTaken(const std::string& remoteName, TFileFacts& facts);
    // A free name beside `remoteName` ("a (1).html"); empty when none.
    std::string FreeRemoteName(const std::string& remoteName);

    TSessionController& session_;
    TRemoteListView* list_;
    QComboBox* dirs_;
    QWidget* window_;
    // The answer to the file-exists question for the rest of this transfer.
    std::optional<TFileExistsAnswer> restAnswer_;
    std::unique_ptr<TWindowQueue> queue_;
    int serverRuns_ = 0;  // RunOnServer calls under way
};

// True when a name from the server may become one entry of a local folder:
// not empty, not "." or "..", no "/" or "\\", no NUL.
bool IsSafeLocalName(const std::string& name);

// A local file's size and modify time.
TFileFacts LocalFileFacts(const std::string& path);
// A free name beside `localPath` ("a (1).html"); empty when none.
std::string FreeLocalName(const std::string& localPath);
