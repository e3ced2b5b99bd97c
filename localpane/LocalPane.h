#pragma once
// The main window's left-hand pane: the local file system as a volume box,
// a folder list, a file-type filter and a file list, kept in step with one
// another; the folder and file operations of its context menus and keys
// (new, rename and delete folder; rename, delete, upload and inspect files);
// and what it takes from and hands to the remote pane.
//
// The pane knows nothing of the FTP session: uploads, downloads and the
// session's state reach it through the hooks the window sets.

#include <QCoreApplication>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "localpane/LocalFileList.h"

class QAction;
class QComboBox;
class QDropEvent;
class QIcon;
class QKeyEvent;
class QLabel;
class QListWidget;
class QAbstractItemView;
class QSplitter;
class QString;
class QMenu;
class TfrmFolder;

class TLocalPane : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(TLocalPane)

public:
    explicit TLocalPane(QWidget* window);

    QLabel* lblLocal;
    QComboBox* cbLocalDrive;
    QListWidget* lbDirectory;
    QComboBox* cbFilter;
    TLocalFileList* lbFiles;
    // Between the folder list and the filter with the file list.
    QSplitter* splLocal;
    QMenu* popLocalDir;
    QAction* itmNewLocalDir;
    QAction* itmRenameLocalDir;
    QAction* itmDeleteLocalDir;
    QAction* itmUploadLocalDir;
    QMenu* popLocalFiles;
    QAction* itmRenameLocalFile;
    QAction* itmDeleteLocalFile;
    QAction* itmUploadLocaFile;
    QAction* itmLocFileProperties;

    // ---- what the pane needs from the rest of the window ---------------------
    std::function<bool()> SessionBusy;
    std::function<bool()> SessionConnected;
    // Uploads the selected files (to the current remote folder).
    std::function<void()> UploadSelected;
    // Uploads a folder with everything in it (to the current remote folder).
    std::function<void(const std::string& folder)> UploadFolder;
    // Downloads the remote list's selected entries into the current folder.
    std::function<void()> DownloadRemoteSelection;
    // True for the widgets a drag from the remote list starts in.
    std::function<bool(const QObject* source)> IsRemoteList;
    // Moves a file or folder to the trash; replaceable for tests.
    std::function<bool(const std::string& path)> Recycle;

    // ---- volume, folder, filter and files -------------------------------------
    std::string LocalDrive() const;
    std::string LocalDir() const { return localDir_; }
    // Raise std::runtime_error for a volume that is not mounted or a folder
    // that cannot be read; the pane then stays as it was.
    void SetLocalDrive(const std::string& root);
    void SetLocalDir(const std::string& folder);
    void SetLocalFilter(int index);
    void RefreshLocalFiles();
    void RefreshLocalFolders();
    void FillLocalDrives();
    // The current folder cut `levels` times at its last separator; "/" when
    // nothing is left.
    std::string LocalFolderPath(int levels) const;
    // Names of the selected files, in list order.
    std::vector<std::string> SelectedFileNames() const;

    // ---- handlers ----------------------------------------------------------------
    void popLocalDirPopup();
    void popLocalFilesPopup();
    void itmNewLocalDirClick();
    void itmRenameLocalDirClick();
    void itmDeleteLocalDirClick();
    void itmUploadLocalDirClick();
    // The folder list's current line: the folder a drag from it carries.
    std::string DraggedFolder() const { return ClickedFolder(); }
    void itmRenameLocalFileClick();
    void itmDeleteLocalFileClick();
    void itmUploadLocaFileClick();
    void itmLocFilePropertiesClick();
    void lbFilesDblClick();
    // F2, F5 and Delete on release; true when the key was used.
    bool lbDirectoryKeyUp(const QKeyEvent& key);
    bool lbFilesKeyUp(const QKeyEvent& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildWidgets();
    void BuildMenus();
    void BindWidgets();
    void FillLocalFolders();
    void AddFolderLine(const QIcon& icon, int depth, const QString& name, const QString& path);
    // The folder list's current line (the clicked one); the open folder when
    // there is none.
    std::string ClickedFolder() const;
    void FollowMovedFolder(const std::string& from, const std::string& to);
    bool lbFilesDragEvent(QDropEvent* event);
    bool ListKeyDown(QAbstractItemView* list, const QKeyEvent& key);
    // Moves a file or folder to the trash; when the trash cannot take it,
    // deletes it for good only after the user agreed. False when it stays.
    bool RemoveToTrashOrForGood(const std::string& path, bool folder);
    void ShowError(const std::string& text);
    std::unique_ptr<TfrmFolder> NewFolderDialog(const char* caption, const char* heading, const std::string& field,
                                                const char* buttonCaption);

    QWidget* window_;
    std::string localDir_;
};
