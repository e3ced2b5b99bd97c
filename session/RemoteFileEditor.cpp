#include "session/RemoteFileEditor.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include "dialogs/FrmOptions.h"
#include "session/RemotePane.h"
#include "session/SessionController.h"
#include "session/SideConnection.h"
#include "transfer/EntryNames.h"
#include "util/MiscUtils.h"
#include "util/ui/UiUtils.h"

namespace {

// The content, not the time stamp, tells a save from a touch: some editors
// rewrite an unchanged file, and a rename save may keep the old time.
std::optional<QByteArray> ContentHash(const std::string& path) {
    QFile file(ToQt(path));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) return std::nullopt;
    return hash.result();
}

// RFC 959: 550 is "file unavailable"; other failures (a refused command, a
// lost connection) tell nothing about the file.
constexpr int kNoSuchFile = 550;

}  // namespace

TRemoteFileEditor::TRemoteFileEditor(TSessionController& session, QWidget* window)
    : QObject(window), session_(session), window_(window) {
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &TRemoteFileEditor::PathChanged);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &TRemoteFileEditor::PathChanged);
    settle_.setSingleShot(true);
    settle_.setInterval(SettleMs);
    connect(&settle_, &QTimer::timeout, this, &TRemoteFileEditor::OfferChangedFiles);
}

// The session may be gone by now (the window's members go before its
// children): nothing here touches it.
TRemoteFileEditor::~TRemoteFileEditor() = default;

// One path on two servers (or two accounts) is two files.
TRemoteFileEditor::TEditedFile* TRemoteFileEditor::Find(const TFtpEndpoint& endpoint, const std::string& remotePath) {
    for (const auto& file : files_)
        if (file->remotePath == remotePath && file->endpoint.host == endpoint.host && file->endpoint.port == endpoint.port &&
            file->endpoint.user == endpoint.user)
            return file.get();
    return nullptr;
}

void TRemoteFileEditor::Edit(const std::string& remoteDir, const std::string& name) {
    if (!IsSafeLocalName(name))
        return ShowProblem(tr("\"%1\" cannot be edited: the name is not usable for a local file.").arg(ToQt(name)));
    const std::string remotePath = JoinPath(remoteDir, name);
    const TFtpEndpoint endpoint = session_.TransferEndpoint();
    if (TEditedFile* known = Find(endpoint, remotePath)) return Open(*known);
    if (!PrepareFolder()) return ShowProblem(tr("\"%1\" cannot be edited: no private folder for the copy.").arg(ToQt(name)));
    auto file = std::make_unique<TEditedFile>();
    file->remotePath = remotePath;
    file->localPath = NewCopyFolder() + "/" + name;
    file->endpoint = endpoint;
    working_ = true;
    const bool downloaded = Download(*file);
    working_ = false;
    if (!downloaded) return;
    file->sentHash = ContentHash(file->localPath).value_or(QByteArray());
    files_.push_back(std::move(file));
    Watch(*files_.back());
    Open(*files_.back());
}

bool TRemoteFileEditor::PrepareFolder() {
    if (folder_) return true;
    // mkdtemp: a fresh name no one else can have prepared, mode 0700.
    folder_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/velliant-ftp-edit-XXXXXX"));
    if (folder_->isValid() && QFile::setPermissions(folder_->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return true;
    folder_.reset();
    return false;
}

std::string TRemoteFileEditor::NewCopyFolder() {
    const QString path = folder_->filePath(QString::number(++copies_));
    (void)QDir().mkdir(path);
    return FromQt(path);
}

// The server's size and time are read before the download: they are what a
// later upload compares against.
bool TRemoteFileEditor::Download(TEditedFile& file) {
    TTransferResult result;
    std::unique_ptr<TTransferConnection> connection = ConnectSide(file.endpoint, result);
    if (!connection) {
        ShowProblem(tr("\"%1\" was not downloaded: %2").arg(ToQt(file.remotePath), ToQt(result.text)));
        return false;
    }
    // A server that gives neither MLST nor SIZE leaves nothing to compare
    // with later; the download itself tells whether the file is there.
    file.serverFacts = StatRemoteFile(*connection, file.remotePath, result);
    TTransferItem item;
    item.direction = TTransferDirection::Download;
    item.localPath = file.localPath;
    item.remotePath = file.remotePath;
    item.size = file.serverFacts ? file.serverFacts->size : 0;
    const std::vector<std::string> failures = RunTransfers(file.endpoint, std::move(connection), {item});
    if (failures.empty() && QFileInfo::exists(ToQt(file.localPath))) return true;
    ShowProblem(
        tr("\"%1\" was not downloaded: %2").arg(ToQt(file.remotePath), failures.empty() ? QString() : ToQt(failures.front())));
    return false;
}

// An editor from the options wins; its command line gets the file's path
// as its last argument.
void TRemoteFileEditor::Open(const TEditedFile& file) {
    const TfrmOptions* options = session_.W.frmOptions;
    const QString command = options != nullptr ? options->ebxEditor->text().trimmed() : QString();
    QStringList arguments = QProcess::splitCommand(command);
    if (arguments.isEmpty()) {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(ToQt(file.localPath))))
            ShowProblem(
                tr("No application is set up to open \"%1\". Choose an editor in the Options.").arg(ToQt(file.localPath)));
        return;
    }
    const QString program = arguments.takeFirst();
    arguments << ToQt(file.localPath);
    if (!QProcess::startDetached(program, arguments)) ShowProblem(tr("The editor \"%1\" could not be started.").arg(command));
}

// The folder is watched as well: an editor that saves by writing a new file
// and renaming it over the old one ends the watch on the file itself.
void TRemoteFileEditor::Watch(const TEditedFile& file) {
    (void)watcher_.addPath(ToQt(file.localPath));
    (void)watcher_.addPath(QFileInfo(ToQt(file.localPath)).path());
}

void TRemoteFileEditor::PathChanged(const QString&) {
    const QStringList watched = watcher_.files();
    for (const auto& file : files_) {
        const QString path = ToQt(file->localPath);
        if (!watched.contains(path) && QFileInfo::exists(path)) (void)watcher_.addPath(path);
    }
    settle_.start();
}

bool TRemoteFileEditor::Changed(const TEditedFile& file) const {
    const std::optional<QByteArray> now = ContentHash(file.localPath);
    return now && *now != file.sentHash && *now != file.declinedHash;
}

// Runs when the files have been quiet for a moment. While the window (or a
// question of ours) is busy with the server, it looks again later.
void TRemoteFileEditor::OfferChangedFiles() {
    if (working_ || (CanTransfer && !CanTransfer())) return settle_.start();
    working_ = true;
    // By index: the questions run the event loop.
    for (std::size_t i = 0; i < files_.size(); ++i) {
        TEditedFile& file = *files_[i];
        if (!Changed(file)) continue;
        if (file.alwaysUpload || AskUpload(file))
            (void)Upload(file);
        else
            file.declinedHash = ContentHash(file.localPath).value_or(QByteArray());
    }
    working_ = false;
}

bool TRemoteFileEditor::AskUpload(TEditedFile& file) {
    QMessageBox box(QMessageBox::Question, ToQt(ApplicationTitle),
                    tr("\"%1\" has been saved. Upload it to the server?").arg(ToQt(file.remotePath)),
                    QMessageBox::Yes | QMessageBox::No, window_);
    box.setDefaultButton(QMessageBox::Yes);
    auto* always = new QCheckBox(tr("Always upload this file when it is saved"), &box);
    box.setCheckBox(always);
    if (box.exec() != QMessageBox::Yes) return false;
    file.alwaysUpload = always->isChecked();
    return true;
}

bool TRemoteFileEditor::ServerCopyChanged(const TEditedFile& file, const std::optional<TRemoteEntry>& now, int code) const {
    if (!now) return code == kNoSuchFile;
    if (!file.serverFacts) return false;
    if (now->size != file.serverFacts->size) return true;
    return now->modifiedUtc && file.serverFacts->modifiedUtc && *now->modifiedUtc != *file.serverFacts->modifiedUtc;
}

// Nothing on the server is replaced unasked: a copy that changed there since
// we read it is replaced only on Yes; Cancel leaves both files as they are
// (and the edit is offered again at the next save or at exit).
bool TRemoteFileEditor::Upload(TEditedFile& file) {
    const std::optional<QByteArray> hash = ContentHash(file.localPath);
    TTransferResult result;
    std::unique_ptr<TTransferConnection> connection = ConnectSide(file.endpoint, result);
    if (!connection) {
        ShowProblem(tr("\"%1\" was not uploaded: %2").arg(ToQt(file.remotePath), ToQt(result.text)));
        return false;
    }
    const std::optional<TRemoteEntry> now = StatRemoteFile(*connection, file.remotePath, result);
    if (ServerCopyChanged(file, now, result.code)) {
        const QString text =
            now ? tr("\"%1\" has changed on the server since it was last transferred. Replace it with your edited copy?")
                : tr("\"%1\" is no longer on the server. Upload your edited copy?");
        if (QMessageBox::warning(window_, ToQt(ApplicationTitle), text.arg(ToQt(file.remotePath)),
                                 QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel) != QMessageBox::Yes) {
            file.declinedHash = hash.value_or(QByteArray());
            return false;
        }
    }
    TTransferItem item;
    item.direction = TTransferDirection::Upload;
    item.localPath = file.localPath;
    item.remotePath = file.remotePath;
    item.size = FileSizeOf(file.localPath);
    const std::vector<std::string> failures = RunTransfers(file.endpoint, std::move(connection), {item});
    if (!failures.empty()) {
        ShowProblem(tr("\"%1\" was not uploaded: %2").arg(ToQt(file.remotePath), ToQt(failures.front())));
        return false;
    }
    file.sentHash = hash.value_or(QByteArray());
    file.declinedHash.clear();
    // Our own upload is the server's new state: the next check compares
    // against it, not against the download.
    connection = ConnectSide(file.endpoint, result);
    file.serverFacts = connection ? StatRemoteFile(*connection, file.remotePath, result) : std::nullopt;
    return true;
}

std::vector<TRemoteFileEditor::TEditedFile*> TRemoteFileEditor::UnsentFiles() const {
    std::vector<TEditedFile*> unsent;
    for (const auto& file : files_) {
        const std::optional<QByteArray> now = ContentHash(file->localPath);
        if (now && *now != file->sentHash) unsent.push_back(file.get());
    }
    return unsent;
}

std::vector<std::string> TRemoteFileEditor::UnsentEdits() const {
    std::vector<std::string> paths;
    for (const TEditedFile* file : UnsentFiles()) paths.push_back(file->remotePath);
    return paths;
}

// Only the files found unsent go up: one path may be edited from two
// servers, and the other copy may be as it was.
bool TRemoteFileEditor::OfferUnsentEdits() {
    const std::vector<TEditedFile*> unsent = UnsentFiles();
    if (unsent.empty()) return true;
    QStringList paths;
    for (const TEditedFile* file : unsent) paths << ToQt(file->remotePath);
    const int answer = AskYesNoCancel(
        ApplicationTitle,
        FromQt(
            tr("These edited files were saved but not uploaded:\n\n%1\n\nUpload them now?").arg(paths.join(QLatin1Char('\n')))));
    if (answer == IDCANCEL) return false;
    if (answer != IDYES) return true;
    settle_.stop();
    working_ = true;
    for (TEditedFile* file : unsent) (void)Upload(*file);
    working_ = false;
    return true;
}

void TRemoteFileEditor::ShowProblem(const QString& text) { session_.ShowFailureText(FromQt(text)); }
