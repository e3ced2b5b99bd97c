#pragma once
// Editing a server file in place: the file is downloaded into a private
// folder of this run, opened with the editor chosen in the options (or the
// desktop's application for its type), and watched. Each save that changes
// its content is offered for upload back to the server it came from; a
// server file that changed since it was read is replaced only when the user
// says so. The private folder and the copies in it go when the editor does
// (with the window).
//
// Transfers run on connections of their own through the window's transfer
// queue (RunTransfers); the browsing connection is left alone.

#include <QByteArray>
#include <QCoreApplication>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "transfer/FtpTransferConnection.h"
#include "transfer/RemoteEntry.h"
#include "transfer/TransferItem.h"

class QTemporaryDir;
class QWidget;
class TSessionController;

class TRemoteFileEditor : public QObject {
    Q_DECLARE_TR_FUNCTIONS(TRemoteFileEditor)

public:
    TRemoteFileEditor(TSessionController& session, QWidget* window);
    ~TRemoteFileEditor() override;
    TRemoteFileEditor(const TRemoteFileEditor&) = delete;
    TRemoteFileEditor& operator=(const TRemoteFileEditor&) = delete;

    // Runs `items` on `connection` (and more connections to `endpoint` as
    // needed) in the window's transfer queue; the failures, one line each.
    std::function<std::vector<std::string>(const TFtpEndpoint& endpoint, std::unique_ptr<TTransferConnection> connection,
                                           const std::vector<TTransferItem>& items)>
        RunTransfers;
    // False while the window runs other server work; a save waits for it.
    std::function<bool()> CanTransfer;

    // Downloads the file `name` of the server's folder `remoteDir` and opens
    // it; a file being edited already is opened again as it is.
    void Edit(const std::string& remoteDir, const std::string& name);

    // Remote paths of the files saved since they were last uploaded.
    std::vector<std::string> UnsentEdits() const;
    // At exit: offers the unsent edits for upload. False when the user
    // cancels (the window stays open).
    bool OfferUnsentEdits();

    // How long a file must be quiet after a change before it is offered:
    // editors write a save in several steps.
    static constexpr int SettleMs = 300;

private:
    struct TEditedFile {
        std::string localPath;
        std::string remotePath;
        TFtpEndpoint endpoint;
        // The server's file as last read or written by us; nullopt when the
        // server told us nothing about it.
        std::optional<TRemoteEntry> serverFacts;
        // The content as it is on the server (as far as we know).
        QByteArray sentHash;
        // A content the user chose not to upload: not offered again until
        // the next save.
        QByteArray declinedHash;
        bool alwaysUpload = false;
    };

    TEditedFile* Find(const TFtpEndpoint& endpoint, const std::string& remotePath);
    std::vector<TEditedFile*> UnsentFiles() const;
    bool PrepareFolder();
    // A new folder inside the private one, so that files of one name from
    // different server folders never meet.
    std::string NewCopyFolder();
    bool Download(TEditedFile& file);
    void Open(const TEditedFile& file);
    void Watch(const TEditedFile& file);
    void PathChanged(const QString& path);
    void OfferChangedFiles();
    bool Changed(const TEditedFile& file) const;
    // The save question; true for Yes.
    bool AskUpload(TEditedFile& file);
    // Uploads after checking the server's copy; false when nothing was sent.
    bool Upload(TEditedFile& file);
    bool ServerCopyChanged(const TEditedFile& file, const std::optional<TRemoteEntry>& now, int code) const;
    void ShowProblem(const QString& text);

    TSessionController& session_;
    QWidget* window_;
    std::unique_ptr<QTemporaryDir> folder_;
    int copies_ = 0;
    std::vector<std::unique_ptr<TEditedFile>> files_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
    // A question or transfer of ours is under way: changes wait for it.
    bool working_ = false;
};
