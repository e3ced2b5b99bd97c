#include "transfer/FtpTransferConnection.h"

#include <cctype>
#include <chrono>
#include <cstdio>

#include "transfer/EntryNames.h"
#include "transfer/ListingEntries.h"
#include "util/MiscUtils.h"

namespace {

constexpr std::uint32_t kLateFailureMessage = platform::WM_USER + 40;
// WSAETIMEDOUT: the operation was silent for longer than the time-out.
constexpr int kTimedOut = 10060;

// The clock of TFtpClient::Deadline.
std::uint64_t NowMs() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

std::int64_t NowUtc() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

}  // namespace

TFtpTransferConnection::TFtpTransferConnection(TFtpEndpoint endpoint) : endpoint_(std::move(endpoint)) {
    ftp_.Timeout = endpoint_.timeoutSeconds;
    ftp_.Passive = endpoint_.passive;
    ftp_.Encryption = endpoint_.encryption;
    ftp_.SslContext = endpoint_.sslContext;
    ftp_.OnCertificateCheck = endpoint_.onCertificateCheck;
    ftp_.SocksServer = endpoint_.socksServer;
    ftp_.SocksPort = endpoint_.socksPort;
    ftp_.SocksUsercode = endpoint_.socksUser;
    ftp_.SocksPassword = endpoint_.socksPassword;
    ftp_.SocksLocalLookup = endpoint_.socksLocalLookup;
    ftp_.OnRequestDone = [this](TCustomFtpCli*, TFtpRequest, std::uint16_t error) { RequestDone(error); };
    ftp_.OnProgress = [this](TCustomFtpCli*, std::int64_t count, bool&) {
        if (OnProgress) OnProgress(count);
    };
    if (endpoint_.onDialogue)
        ftp_.OnDisplay = [this](TCustomFtpCli*, std::string& line) { endpoint_.onDialogue(MaskPassword(line)); };
}

TFtpTransferConnection::~TFtpTransferConnection() {
    next_ = nullptr;
    if (ftp_.Connected()) ftp_.AbortSession();
}

void TFtpTransferConnection::Run(void (TCustomFtpCli::*start)(), Step next) {
    next_ = std::move(next);
    if (ftp_.Timeout > 0) ftp_.Deadline = NowMs() + static_cast<std::uint64_t>(ftp_.Timeout) * 1000u;
    try {
        (ftp_.*start)();
    } catch (const std::exception& refused) {
        FailLater({550, refused.what(), !ftp_.Connected()});
    }
}

void TFtpTransferConnection::FailLater(TTransferResult result) {
    lateFailure_ = std::move(result);
    (void)window_.Post(kLateFailureMessage, 0, 0);
}

platform::LParam TFtpTransferConnection::HandleMessage(std::uint32_t message, platform::WParam, platform::LParam) {
    if (message != kLateFailureMessage || !next_) return 0;
    const Step next = std::exchange(next_, nullptr);
    next(lateFailure_);
    return 0;
}

// A request that ended after its operation was already given up (a
// time-out) finds no step waiting and is dropped.
void TFtpTransferConnection::RequestDone(std::uint16_t error) {
    if (!next_) return;
    const Step next = std::exchange(next_, nullptr);
    next(ResultOf(error));
}

TTransferResult TFtpTransferConnection::ResultOf(std::uint16_t error) const {
    TTransferResult result;
    result.code = error;
    result.connectionLost = !ftp_.Connected();
    if (error == 0) return result;
    result.text = !ftp_.ErrorMessage().empty() ? ftp_.ErrorMessage() : ftp_.LastResponse();
    if (result.text.empty()) result.text = "request failed with error " + std::to_string(error);
    return result;
}

void TFtpTransferConnection::CheckTimeout() {
    if (!next_ || ftp_.Timeout <= 0 || NowMs() < ftp_.Deadline) return;
    const Step next = std::exchange(next_, nullptr);
    ftp_.AbortSession();
    next_ = next;
    FailLater({kTimedOut, "426 Timeout", true});
}

std::string TFtpTransferConnection::AbsolutePath(const std::string& path) const {
    if (path.empty() || path[0] == '/' || home_.empty()) return path;
    return JoinPath(home_, path);
}

void TFtpTransferConnection::Connect(TTransferCallback done) {
    ftp_.HostName = endpoint_.host;
    ftp_.Port = endpoint_.port;
    ftp_.UserName = endpoint_.user;
    ftp_.PassWord = endpoint_.password;
    home_.clear();
    wireMode_.reset();
    Run(&TCustomFtpCli::BeginLogin, [this, done](const TTransferResult& login) {
        if (!login.Ok()) return done(login);
        // Without a quoted folder in the reply, paths stay relative to it.
        Run(&TCustomFtpCli::BeginPwd, [this, done](const TTransferResult&) {
            if (!ftp_.ReplyDirectory().empty() && ftp_.ReplyDirectory()[0] == '/') home_ = ftp_.ReplyDirectory();
            done(ResultOf(0));
        });
    });
}

void TFtpTransferConnection::Disconnect(TTransferCallback done) {
    if (!ftp_.Connected()) {
        next_ = std::move(done);
        FailLater({});
        return;
    }
    Run(&TCustomFtpCli::BeginQuit, [done](const TTransferResult&) { done({}); });
}

void TFtpTransferConnection::InMode(TTransferMode wanted, TTransferCallback done, std::function<void()> then) {
    if (wireMode_ == wanted) return then();
    ftp_.SetBinary(wanted == TTransferMode::Binary);
    Run(&TCustomFtpCli::BeginTransferType, [this, wanted, done, then](const TTransferResult& result) {
        if (!result.Ok()) return done(result);
        wireMode_ = wanted;
        then();
    });
}

// MLSD is trusted only where it says what each entry is and how big: a
// listing without types would leave every entry out as unknown, and a tree
// with holes makes a plan fetch or delete what is there.
bool TFtpTransferConnection::MachineListing() const {
    if (!endpoint_.machineListing || !ftp_.Features().Has("MLST")) return false;
    std::string facts = ftp_.Features().Parameters("MLST");
    for (char& c : facts) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return facts.find("type") != std::string::npos && facts.find("size") != std::string::npos;
}

// A listing changes into the folder and lists it. LIST gets "-a", so that
// files whose names start with a dot (.htaccess) are in it on servers that
// hide them otherwise; a listing with a path argument is read as a file name
// by some servers when it also has options. MLSD lists every entry as it is.
void TFtpTransferConnection::List(const std::string& folder, TListCallback done) {
    ftp_.HostDirName = AbsolutePath(folder).empty() ? "." : AbsolutePath(folder);
    Run(&TCustomFtpCli::BeginCwd, [this, done](const TTransferResult& moved) {
        if (!moved.Ok()) return done(moved, {});
        const std::string listing = NewTempFileName();
        const bool machine = MachineListing();
        ftp_.LocalFileName = listing;
        ftp_.HostFileName = machine ? "" : "-a";
        Run(machine ? &TCustomFtpCli::BeginMachineList : &TCustomFtpCli::BeginList,
            [this, done, listing](const TTransferResult& listed) {
                std::vector<TRemoteEntry> entries;
                if (listed.Ok())
                    entries = ftp_.ListedByMlsd() ? ParseMachineListingEntries(ReadWholeFile(listing))
                                                  : ParseListingEntries(ReadWholeFile(listing), NowUtc());
                (void)std::remove(listing.c_str());
                done(listed, std::move(entries));
            });
    });
}

void TFtpTransferConnection::Get(const std::string& remote, const std::string& local, std::int64_t resumeAt,
                                 TTransferCallback done) {
    InMode(mode_, done, [this, remote, local, resumeAt, done] {
        ftp_.HostFileName = AbsolutePath(remote);
        ftp_.LocalFileName = local;
        ftp_.ResumeAt = resumeAt;
        Run(resumeAt > 0 ? &TCustomFtpCli::BeginRestartRetrieve : &TCustomFtpCli::BeginRetrieve, done);
    });
}

void TFtpTransferConnection::Put(const std::string& local, const std::string& remote, std::int64_t resumeAt,
                                 TTransferCallback done) {
    InMode(mode_, done, [this, local, remote, resumeAt, done] {
        ftp_.HostFileName = AbsolutePath(remote);
        ftp_.LocalFileName = local;
        ftp_.ResumeAt = resumeAt;
        Run(resumeAt > 0 ? &TCustomFtpCli::BeginAppend : &TCustomFtpCli::BeginStore, done);
    });
}

void TFtpTransferConnection::MakeFolder(const std::string& path, TTransferCallback done) {
    ftp_.HostFileName = AbsolutePath(path);
    Run(&TCustomFtpCli::BeginMkd, done);
}

void TFtpTransferConnection::Delete(const std::string& path, bool folder, TTransferCallback done) {
    ftp_.HostFileName = AbsolutePath(path);
    Run(folder ? &TCustomFtpCli::BeginRmd : &TCustomFtpCli::BeginDele, done);
}

void TFtpTransferConnection::Rename(const std::string& from, const std::string& to, TTransferCallback done) {
    ftp_.HostFileName = AbsolutePath(from);
    ftp_.RenameTo = AbsolutePath(to);
    Run(&TCustomFtpCli::BeginRename, done);
}

// MLST where offered: one command for the type, size and time. Else SIZE,
// which many servers refuse in text mode (the session goes binary first),
// then MDTM: a change that kept the size shows only in the time. A server
// without MDTM gives an entry without a time.
void TFtpTransferConnection::Stat(const std::string& path, TStatCallback done) {
    if (MachineListing()) {
        ftp_.HostFileName = AbsolutePath(path);
        return Run(&TCustomFtpCli::BeginMachineFile, [this, path, done](const TTransferResult& found) {
            if (!found.Ok()) return done(found, std::nullopt);
            TRemoteEntry entry = EntryOfFacts(ftp_.RemoteEntry());
            entry.name = BaseName(path);
            done(found, entry);
        });
    }
    InMode(
        TTransferMode::Binary, [done](const TTransferResult& failed) { done(failed, std::nullopt); },
        [this, path, done] {
            ftp_.HostFileName = AbsolutePath(path);
            Run(&TCustomFtpCli::BeginSize, [this, path, done](const TTransferResult& sized) {
                if (!sized.Ok()) return done(sized, std::nullopt);
                TRemoteEntry entry;
                entry.name = BaseName(path);
                entry.size = ftp_.RemoteFileSize();
                Run(&TCustomFtpCli::BeginFileTime, [this, sized, entry, done](const TTransferResult& timed) mutable {
                    if (timed.connectionLost) return done(timed, std::nullopt);
                    if (timed.Ok()) entry.modifiedUtc = ftp_.RemoteFileTime();
                    done(sized, entry);
                });
            });
        });
}

void TFtpTransferConnection::SetModifyTime(const std::string& path, std::int64_t utc, TTransferCallback done) {
    ftp_.HostFileName = AbsolutePath(path);
    ftp_.FileTimeUtc = utc;
    Run(&TCustomFtpCli::BeginSetFileTime, std::move(done));
}

// The requests BeginSetFileTime chooses from.
bool TFtpTransferConnection::CanSetModifyTime() const {
    return ftp_.Features().Has("MFMT") || ftp_.Features().HasLine("SITE UTIME");
}
