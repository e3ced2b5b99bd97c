#include "tools/vftp/VftpRunner.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "ftp/FtpLocalTimes.h"
#include "net/SslContext.h"
#include "platform/MessageLoop.h"
#include "platform/Ticks.h"
#include "tools/vftp/ConsoleOutput.h"
#include "tools/vftp/SocksProxySpec.h"
#include "tools/vftp/VftpBatch.h"
#include "tools/vftp/VftpTarget.h"
#include "util/MiscUtils.h"

namespace {
constexpr char kNoTemporaryFile[] =
    "cannot make a temporary file: no private temporary folder (XDG_RUNTIME_DIR, or TMPDIR with a folder of mode 0700 "
    "for this user) and the current folder takes no new file";
}  // namespace

VftpRunner::VftpRunner(VftpOptions options) : options_(std::move(options)) { BindEvents(); }

void VftpRunner::BindEvents() {
    ftp_.Timeout = options_.timeoutSeconds;
    ftp_.Passive = options_.passive;
    ftp_.SetBinary(options_.binary);
    ftp_.OnDisplay = [this](TCustomFtpCli*, std::string& msg) {
        if (options_.verbose)
            PrintError(MaskPassword(msg) + "\n");
        else if (msg == std::string("! ") + kTlsRefusedText)
            PrintError(std::string("vftp: ") + kTlsRefusedText + "\n");
    };
    ftp_.OnRequestDone = [this](TCustomFtpCli*, TFtpRequest, std::uint16_t error) {
        requestDone_ = true;
        requestError_ = error;
    };
    ftp_.OnProgress = [this](TCustomFtpCli*, std::int64_t count, bool&) {
        if (progress_) progress_->Update(count);
    };
    ftp_.OnCertificateCheck = [this](TCustomFtpCli*, const TSslCertificateInfo& certificate, TFtpCertificateDecision& decision) {
        JudgeCertificate(certificate, decision);
    };
}

// A pin names exactly the certificate to accept, verified or not; without
// one, --insecure accepts any. A refusal shows what was refused, with the
// pin that would accept it.
void VftpRunner::JudgeCertificate(const TSslCertificateInfo& certificate, TFtpCertificateDecision& decision) {
    if (!options_.pinSha256.empty())
        decision = certificate.MatchesPin(options_.pinSha256) ? ftpCertTrustOnce : ftpCertRefuse;
    else if (options_.insecure)
        decision = ftpCertTrustOnce;
    if (decision != ftpCertRefuse) return;
    const std::string why = options_.pinSha256.empty() ? certificate.Reason : "it does not match --pin-sha256";
    std::string text = "vftp: the server's certificate is refused: " + why + "\n";
    text += "  subject:     " + certificate.Subject + "\n";
    text += "  issuer:      " + certificate.Issuer + "\n";
    text += "  valid:       " + certificate.NotBefore + " to " + certificate.NotAfter + "\n";
    text += "  SHA-256:     " + certificate.Sha256 + "\n";
    text += "  public key:  sha256//" + certificate.PublicKeySha256 + "\n";
    text += "  (--pin-sha256 sha256//" + certificate.PublicKeySha256 + " accepts exactly this certificate)\n";
    PrintError(text);
}

TFtpEncryption VftpRunner::EncryptionFor(const FtpUrl& url, const std::optional<TEncryptionMode>& profile) const {
    if (url.implicitTls) return ftpTlsImplicit;
    if (options_.tls) return ftpTlsExplicitRequired;
    if (options_.tlsTry) return ftpTlsExplicitIfAvailable;
    switch (profile.value_or(TEncryptionMode::Plain)) {
        case TEncryptionMode::ExplicitIfAvailable: return ftpTlsExplicitIfAvailable;
        case TEncryptionMode::ExplicitRequired: return ftpTlsExplicitRequired;
        case TEncryptionMode::Implicit: return ftpTlsImplicit;
        case TEncryptionMode::Plain: break;
    }
    return ftpTlsNone;
}

int VftpRunner::Run() {
    const std::string& command = options_.command;
    const auto& args = options_.arguments;
    if (VftpBatch::Handles(options_)) return VftpBatch(options_, *this).Run();
    const bool uploading = command == "put" || command == "append";
    const std::string& urlText = uploading || command == "chmod" ? args[1] : args[0];
    if (!Connect(urlText)) return 2;
    if (command == "ls") return List(false);
    if (command == "nls") return List(true);
    if (command == "size") return Size();
    if (command == "pwd") return Pwd();
    if (command == "get") return Get();
    if (uploading) return Put(command == "append");
    if (command == "mkdir") return SimpleFileRequest(&TCustomFtpCli::BeginSessionMkd);
    if (command == "rmdir") return SimpleFileRequest(&TCustomFtpCli::BeginSessionRmd);
    if (command == "rm") return SimpleFileRequest(&TCustomFtpCli::BeginSessionDele);
    if (command == "mv") return Rename();
    if (command == "chmod") return Chmod();
    return Quote();
}

bool VftpRunner::ResolveEndpoint(const std::string& urlText, TFtpEndpoint& endpoint, FtpUrl& url) {
    VftpTargetResolver resolver;
    resolver.forceNetrc = options_.netrc;
    const auto target = resolver.Resolve(urlText);
    if (!target) {
        PrintError("vftp: " + resolver.Error() + "\n" + (resolver.ShowUsage() ? kVftpUsage : ""));
        return false;
    }
    url = target->url;
    endpoint.passive = target->passive && !options_.passiveGiven ? *target->passive : options_.passive;
    endpoint.encryption = EncryptionFor(url, target->encryption);
    if (!options_.caFile.empty()) {
        auto context = std::make_shared<TSslContext>();
        if (!context->AddCaFile(options_.caFile)) {
            PrintError("vftp: --cacert: " + context->ErrorText() + "\n");
            return false;
        }
        endpoint.sslContext = context;
    }
    endpoint.host = url.host;
    endpoint.port = url.port;
    endpoint.user = url.user;
    endpoint.password = url.password;
    endpoint.timeoutSeconds = options_.timeoutSeconds;
    endpoint.onCertificateCheck = [this](TCustomFtpCli*, const TSslCertificateInfo& certificate,
                                         TFtpCertificateDecision& decision) { JudgeCertificate(certificate, decision); };
    if (options_.verbose) endpoint.onDialogue = [](const std::string& line) { PrintError(line + "\n"); };
    return ChooseProxy(target->profile, endpoint);
}

bool VftpRunner::Connect(const std::string& urlText) {
    TFtpEndpoint endpoint;
    if (!ResolveEndpoint(urlText, endpoint, url_)) return false;
    ftp_.Passive = endpoint.passive;
    ftp_.Encryption = endpoint.encryption;
    if (endpoint.sslContext) ftp_.SslContext = endpoint.sslContext;
    ftp_.HostName = url_.host;
    ftp_.Port = url_.port;
    ftp_.UserName = url_.user;
    ftp_.PassWord = url_.password;
    ftp_.HostDirName = url_.Folder();
    ftp_.HostFileName = url_.Name();
    ftp_.SocksServer = endpoint.socksServer;
    ftp_.SocksPort = endpoint.socksPort;
    ftp_.SocksUsercode = endpoint.socksUser;
    ftp_.SocksPassword = endpoint.socksPassword;
    ftp_.SocksLocalLookup = endpoint.socksLocalLookup;
    return true;
}

bool VftpRunner::ChooseProxy(const std::optional<TFTPServer>& profile, TFtpEndpoint& endpoint) {
    std::optional<SocksProxySpec> proxy;
    std::string error;
    const char* environment = std::getenv("ALL_PROXY") != nullptr ? std::getenv("ALL_PROXY") : std::getenv("all_proxy");
    if (!options_.socks5.empty()) {
        proxy = ParseSocksProxy(options_.socks5, error);
        if (proxy) proxy->localLookup = false;
    } else if (profile && !profile->SocksHost.empty()) {
        proxy = SocksProxySpec{profile->SocksHost, profile->SocksPort, profile->SocksUser, profile->SocksPassword, false};
    } else if (environment != nullptr && *environment != '\0') {
        // Another kind of proxy (http://) is for other programs: FTP goes
        // direct, as the user is told.
        proxy = ParseSocksProxy(environment, error);
        if (!proxy) {
            PrintError("vftp: ALL_PROXY is ignored: " + error + "\n");
            return true;
        }
    } else {
        return true;
    }
    if (!proxy) {
        PrintError("vftp: " + error + "\n");
        return false;
    }
    if (!options_.socks5User.empty()) ApplySocksUser(options_.socks5User, *proxy);
    endpoint.socksServer = proxy->host;
    endpoint.socksPort = proxy->port;
    endpoint.socksUser = proxy->user;
    endpoint.socksPassword = proxy->password;
    endpoint.socksLocalLookup = proxy->localLookup;
    return true;
}

bool VftpRunner::Execute(Start start) {
    requestDone_ = false;
    requestError_ = 0;
    try {
        (ftp_.*start)();
    } catch (const std::exception& e) {
        error_ = e.what();
        return false;
    }
    const bool ended = ftp_.WaitUntilReady();
    WaitForRequestDone();
    if (progress_) progress_->Finish();
    if (ended && requestError_ == 0) return true;
    error_ = FailureText();
    return false;
}

// OnRequestDone is posted, so it arrives only after the wait saw the engine
// ready; give it a moment (bounded) to be delivered.
void VftpRunner::WaitForRequestDone() {
    const std::uint32_t start = platform::GetTickCount();
    while (!requestDone_ && platform::GetTickCount() - start < 2000) {
        platform::ProcessMessages();
        if (!requestDone_) platform::WaitMessage(50);
    }
}

std::string VftpRunner::FailureText() const {
    if (!ftp_.ErrorMessage().empty()) return ftp_.ErrorMessage();
    if (!ftp_.LastResponse().empty()) return ftp_.LastResponse();
    return "request failed with error " + std::to_string(requestError_);
}

int VftpRunner::Failure(const std::string& text) {
    PrintError("vftp: " + MaskPassword(text) + "\n");
    return 1;
}

// Lists into a private temporary file and copies it out: the listing's bytes
// reach standard output unchanged, whatever the block boundaries were.
int VftpRunner::List(bool namesOnly) {
    if (url_.EndsWithSlash()) {
        ftp_.HostDirName = url_.path;
        ftp_.HostFileName.clear();
    }
    ftp_.LocalFileName = NewTempFileName();
    if (ftp_.LocalFileName.empty()) return Failure(kNoTemporaryFile);
    const bool ok = Execute(namesOnly ? &TCustomFtpCli::BeginSessionNameList : &TCustomFtpCli::BeginSessionList);
    const int status = ok ? CopyToStandardOutput(ftp_.LocalFileName) : Failure(error_);
    (void)std::remove(ftp_.LocalFileName.c_str());
    return status;
}

// An empty file is an empty listing or an empty download: nothing to print,
// and success.
int VftpRunner::CopyToStandardOutput(const std::string& path) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) return Failure("cannot read the temporary file " + path);
    char block[65536];
    bool written = true;
    std::size_t count = 0;
    while (written && (count = std::fread(block, 1, sizeof block, in)) > 0) written = PrintOut(block, count);
    const bool readFailed = std::ferror(in) != 0;
    std::fclose(in);
    written = FlushOut() && written;
    if (readFailed) return Failure("cannot read the temporary file " + path);
    return written ? 0 : Failure("cannot write to standard output");
}

// SIZE runs in a logged-in session with TYPE I first: servers refuse SIZE in
// ASCII mode, which is where a fresh session starts.
int VftpRunner::Size() {
    if (url_.Name().empty()) return Failure("size needs a file name at the end of the URL");
    std::int64_t size = 0;
    const bool ok = RunInSession([this, &size] {
        if (!Execute(&TCustomFtpCli::BeginTypeBinary) || !Execute(&TCustomFtpCli::BeginSize)) return false;
        size = ftp_.RemoteFileSize();
        return true;
    });
    if (!ok) return Failure(error_);
    PrintOut(std::to_string(size) + "\n");
    return 0;
}

bool VftpRunner::RunInSession(const std::function<bool()>& work) {
    if (!Execute(&TCustomFtpCli::BeginLogin)) return false;
    const bool moved = ftp_.HostDirName.empty() || Execute(&TCustomFtpCli::BeginCwd);
    const bool done = moved && work();
    const std::string failure = error_;
    (void)Execute(&TCustomFtpCli::BeginQuit);
    error_ = failure;
    return done;
}

int VftpRunner::Pwd() {
    ftp_.HostDirName = url_.path;
    std::string directory;
    const bool ok = RunInSession([this, &directory] {
        if (!Execute(&TCustomFtpCli::BeginPwd)) return false;
        directory = ftp_.ReplyDirectory();
        return true;
    });
    if (!ok) return Failure(error_);
    PrintOut(directory + "\n");
    return 0;
}

int VftpRunner::Get() {
    const std::string name = url_.Name();
    if (name.empty() || name == "." || name == "..") return Failure("get needs a file name at the end of the URL, not a folder");
    const bool toStandardOutput = options_.arguments.size() > 1 && options_.arguments[1] == "-";
    std::string local = options_.arguments.size() > 1 ? options_.arguments[1] : name;
    if (toStandardOutput) local = NewTempFileName();
    if (local.empty()) return Failure(kNoTemporaryFile);
    ftp_.LocalFileName = local;
    progress_ = std::make_unique<ProgressBar>(!options_.quiet && !toStandardOutput && isatty(STDERR_FILENO), name, -1);
    const bool resume = options_.resume && !toStandardOutput;
    const bool ok = options_.preserve && !toStandardOutput
                        ? TransferKeepingTime(resume ? &TCustomFtpCli::BeginRestartRetrieve : &TCustomFtpCli::BeginRetrieve, true)
                        : Execute(resume ? &TCustomFtpCli::BeginSessionRestartRetrieve : &TCustomFtpCli::BeginSessionRetrieve);
    int status = ok ? 0 : Failure(error_);
    if (toStandardOutput) {
        if (ok) status = CopyToStandardOutput(local);
        (void)std::remove(local.c_str());
    }
    return status;
}

int VftpRunner::Put(bool append) {
    const std::string& local = options_.arguments[0];
    if (url_.EndsWithSlash()) {
        const auto slash = local.rfind('/');
        ftp_.HostDirName = url_.path;
        ftp_.HostFileName = slash == std::string::npos ? local : local.substr(slash + 1);
    }
    if (ftp_.HostFileName.empty()) return Failure("put needs a local file name");
    ftp_.LocalFileName = local;
    progress_ = std::make_unique<ProgressBar>(!options_.quiet && isatty(STDERR_FILENO), ftp_.HostFileName, FileSizeOf(local));
    const bool ok = options_.preserve && !append
                        ? TransferKeepingTime(&TCustomFtpCli::BeginStore, false)
                        : Execute(append ? &TCustomFtpCli::BeginSessionAppend : &TCustomFtpCli::BeginSessionStore);
    return ok ? 0 : Failure(error_);
}

bool VftpRunner::TransferKeepingTime(Start transfer, bool download) {
    const std::string fileName = ftp_.HostFileName;
    const std::string local = ftp_.LocalFileName;
    return RunInSession([&] {
        ftp_.HostFileName = fileName;
        ftp_.LocalFileName = local;
        if (!Execute(&TCustomFtpCli::BeginTransferType) || !Execute(transfer)) return false;
        if (download)
            KeepServerTime(local);
        else
            SendLocalTime(local);
        return true;
    });
}

// MLST's modify fact where offered (exact to the second on every server
// that has it), else MDTM.
void VftpRunner::KeepServerTime(const std::string& local) {
    std::optional<std::int64_t> time;
    if (ftp_.Features().Has("MLST") && Execute(&TCustomFtpCli::BeginMachineFile)) time = ftp_.RemoteEntry().ModifyUtc;
    if (!time && Execute(&TCustomFtpCli::BeginFileTime)) time = ftp_.RemoteFileTime();
    if (!time || !SetLocalFileTime(local, *time))
        PrintError("vftp: --preserve: the server's time of the file could not be kept\n");
}

void VftpRunner::SendLocalTime(const std::string& local) {
    const auto time = LocalFileTime(local);
    if (time) ftp_.FileTimeUtc = *time;
    if (!time || !Execute(&TCustomFtpCli::BeginSetFileTime))
        PrintError("vftp: --preserve: the file's time could not be set on the server (" + MaskPassword(error_) + ")\n");
}

int VftpRunner::SimpleFileRequest(Start start) {
    if (url_.Name().empty() && !url_.path.empty()) {
        // "mkdir ftp://host/a/b/" names the folder b.
        FtpUrl folder = url_;
        folder.path.pop_back();
        ftp_.HostDirName = folder.Folder();
        ftp_.HostFileName = folder.Name();
    }
    return Execute(start) ? 0 : Failure(error_);
}

int VftpRunner::Rename() {
    ftp_.RenameTo = options_.arguments[1];
    return Execute(&TCustomFtpCli::BeginSessionRename) ? 0 : Failure(error_);
}

int VftpRunner::Chmod() {
    ftp_.QuoteLine = "SITE CHMOD " + options_.arguments[0] + " " + url_.Name();
    if (!Execute(&TCustomFtpCli::BeginSessionQuote)) return Failure(error_);
    PrintOut(ftp_.LastResponse() + "\n");
    return 0;
}

int VftpRunner::Quote() {
    ftp_.HostDirName = url_.path;
    ftp_.QuoteLine = options_.arguments[1];
    if (!Execute(&TCustomFtpCli::BeginSessionQuote)) return Failure(error_);
    PrintOut(ftp_.LastResponse() + "\n");
    return 0;
}
