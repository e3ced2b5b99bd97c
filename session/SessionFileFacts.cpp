// Questions about one server file, asked before a transfer replaces it.
#include "session/SessionController.h"

namespace {

constexpr int kFileStatus = 213;
// "Requested action not taken": no such file (or not a plain file).
constexpr int kNoSuchFile = 550;

}  // namespace

// SIZE rather than a listing: it asks the server now, so a file someone else
// put there since the list was read is not replaced unasked. Servers refuse
// SIZE in ASCII mode, where every listing leaves the session; the transfer
// that follows sets its own type again.
TSessionController::TRemoteFileState TSessionController::ProbeRemoteFile(const std::string& name, TFileFacts& facts) {
    facts = {};
    if (!FTP.Connected()) return TRemoteFileState::Unknown;
    QueueSetType(true);
    const std::uint64_t before = sizeRepliesSeen_;
    QueueFileSize(name);
    if (sizeRepliesSeen_ == before) return TRemoteFileState::Unknown;
    if (FTP.StatusCode() == kNoSuchFile) return TRemoteFileState::Absent;
    if (FTP.StatusCode() != kFileStatus) return TRemoteFileState::Unknown;
    facts.size = FTP.RemoteFileSize();
    return TRemoteFileState::Present;
}

std::optional<std::int64_t> TSessionController::RemoteFileTime(const std::string& name) {
    if (!FTP.Connected()) return std::nullopt;
    QueueFileTime(name);
    return FTP.Connected() ? FTP.RemoteFileTime() : std::nullopt;
}
