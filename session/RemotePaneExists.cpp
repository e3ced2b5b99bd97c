// The file-exists question of the remote pane's transfers, in both
// directions: the answer remembered for the rest of a transfer, the
// options' default, the question itself, and free names for Rename.
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <cstdlib>

#include "dialogs/FrmOptions.h"
#include "session/FrmOverResume.h"
#include "session/RemoteListView.h"
#include "session/RemotePane.h"
#include "session/SessionController.h"
#include "transfer/EntryNames.h"
#include "util/MiscUtils.h"
#include "util/ui/UiUtils.h"

namespace {

std::string ParentOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

TFileFacts LocalFileFacts(const std::string& path) {
    const QFileInfo info(ToQt(path));
    TFileFacts facts;
    facts.size = info.size();
    if (info.lastModified().isValid()) facts.modifiedUtc = info.lastModified().toSecsSinceEpoch();
    return facts;
}

void TRemotePane::BeginTransferAction() { restAnswer_.reset(); }

TFileExistsAnswer TRemotePane::DefaultExistsAnswer() const {
    const TfrmOptions* options = session_.W.frmOptions;
    if (options == nullptr || options->cbxFileExists->currentIndex() < 0) return TFileExistsAnswer::Ask;
    return static_cast<TFileExistsAnswer>(options->cbxFileExists->currentIndex());
}

// The answer given "for the rest of this transfer" comes first, then the
// options' default, then the question. "If newer" needs the server file's
// time, asked only when that answer is given.
TFileExistsChoice TRemotePane::DecideExisting(const std::string& shownPath, bool upload, const TFileFacts& local,
                                              TFileFacts remote, bool canResume, const std::string& remoteName) {
    TFileExistsAnswer answer = restAnswer_ ? *restAnswer_ : DefaultExistsAnswer();
    for (;;) {
        if (answer == TFileExistsAnswer::Ask) {
            const std::string facts =
                TfrmOverResume::FactsLine("Local file", local) + "\n" + TfrmOverResume::FactsLine("On the server", remote);
            const TfrmOverResume::Reply reply = TfrmOverResume::Ask(window_, shownPath, canResume, facts);
            answer = reply.answer;
            if (reply.forRest) restAnswer_ = answer;
        }
        if (answer == TFileExistsAnswer::OverwriteIfNewer && !remote.modifiedUtc)
            remote.modifiedUtc = session_.RemoteFileTime(remoteName);
        const std::optional<TFileExistsChoice> choice =
            upload ? ResolveFileExists(answer, local, remote, canResume) : ResolveFileExists(answer, remote, local, canResume);
        if (choice) return *choice;
        // Resume remembered for a text file: this one needs its own answer.
        answer = TFileExistsAnswer::Ask;
    }
}

void TRemotePane::LogSkipped(const std::string& path, const std::string& why) {
    session_.AddLogLine("Skipped \"" + path + "\": " + why, TLogKind::Status);
}

// Where the server cannot say (no SIZE), the list of the current folder
// does; in another folder the file counts as there, so that the user is
// asked rather than a file replaced unseen.
bool TRemotePane::RemoteNameTaken(const std::string& remoteName, TFileFacts& facts) {
    switch (session_.ProbeRemoteFile(remoteName, facts)) {
        case TSessionController::TRemoteFileState::Present: return true;
        case TSessionController::TRemoteFileState::Absent: return false;
        case TSessionController::TRemoteFileState::Unknown: break;
    }
    if (remoteName.find('/') != std::string::npos) return true;
    for (int row = 0; row < list_->Count(); ++row)
        if (list_->Caption(row) == remoteName) {
            facts.size = std::atoll(list_->ColumnText(row, TRemoteFileModel::colSize).c_str());
            return true;
        }
    return false;
}

std::string TRemotePane::FreeRemoteName(const std::string& remoteName) {
    const std::string folder = ParentOf(remoteName);
    const std::string name = FreeName(BaseName(remoteName), [&](const std::string& candidate) {
        TFileFacts unused;
        return session_.FTP.Connected() && RemoteNameTaken(folder + candidate, unused);
    });
    return name.empty() ? std::string() : folder + name;
}

std::string FreeLocalName(const std::string& localPath) {
    const std::string folder = ParentOf(localPath);
    const std::string name =
        FreeName(BaseName(localPath), [&](const std::string& candidate) { return QFileInfo::exists(ToQt(folder + candidate)); });
    return name.empty() ? std::string() : folder + name;
}
