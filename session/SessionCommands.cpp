// Building commands: the queueing operations, connecting and disconnecting.
#include <cstdio>

#include "dialogs/FrmChMod.h"
#include "session/SessionController.h"
#include "util/FTPServerObj.h"
#include "util/MiscUtils.h"
#include "util/ui/UiUtils.h"

namespace {

TFtpEncryption EngineEncryption(TEncryptionMode Mode) {
    switch (Mode) {
        case TEncryptionMode::ExplicitIfAvailable: return ftpTlsExplicitIfAvailable;
        case TEncryptionMode::ExplicitRequired: return ftpTlsExplicitRequired;
        case TEncryptionMode::Implicit: return ftpTlsImplicit;
        case TEncryptionMode::Plain: break;
    }
    return ftpTlsNone;
}

using Waiting = bool (TFtpClient::*)();
using Starting = void (TCustomFtpCli::*)();

struct Operations {
    Waiting waiting;
    Starting starting;
};

Operations OperationsOf(std::int32_t kind, std::int64_t resumeAt, bool machineListing) {
    switch (kind) {
        case cmdConnect: return {&TFtpClient::Login, &TCustomFtpCli::BeginLogin};
        case cmdQuit: return {&TFtpClient::Quit, &TCustomFtpCli::BeginQuit};
        // MLSD where the server offers it: exact sizes and times.
        case cmdList:
            if (machineListing) return {&TFtpClient::MachineList, &TCustomFtpCli::BeginMachineList};
            return {&TFtpClient::List, &TCustomFtpCli::BeginList};
        case cmdPrintDir: return {&TFtpClient::Pwd, &TCustomFtpCli::BeginPwd};
        case cmdChangeDir: return {&TFtpClient::Cwd, &TCustomFtpCli::BeginCwd};
        case cmdDeleteFile: return {&TFtpClient::Dele, &TCustomFtpCli::BeginDele};
        case cmdRemoveDir: return {&TFtpClient::Rmd, &TCustomFtpCli::BeginRmd};
        case cmdRename: return {&TFtpClient::Rename, &TCustomFtpCli::BeginRename};
        case cmdMakeDir: return {&TFtpClient::Mkd, &TCustomFtpCli::BeginMkd};
        case cmdDownload:
            if (resumeAt != 0) return {&TFtpClient::RestartRetrieve, &TCustomFtpCli::BeginRestartRetrieve};
            return {&TFtpClient::Retrieve, &TCustomFtpCli::BeginRetrieve};
        case cmdUpload:
            // Resuming an upload appends the rest of the local file, read
            // from the server's size on.
            if (resumeAt != 0) return {&TFtpClient::Append, &TCustomFtpCli::BeginAppend};
            return {&TFtpClient::Store, &TCustomFtpCli::BeginStore};
        case cmdParentDir: return {&TFtpClient::Cdup, &TCustomFtpCli::BeginCdup};
        case cmdSetType: return {&TFtpClient::TransferType, &TCustomFtpCli::BeginTransferType};
        case cmdQuote: return {&TFtpClient::Quote, &TCustomFtpCli::BeginQuote};
        case cmdFileSize: return {&TFtpClient::Size, &TCustomFtpCli::BeginSize};
        case cmdNoop: return {&TFtpClient::Noop, &TCustomFtpCli::BeginNoop};
        case cmdFileTime: return {&TFtpClient::FileTime, &TCustomFtpCli::BeginFileTime};
        default: return {nullptr, nullptr};
    }
}

}  // namespace

std::unique_ptr<TFTPCommand> TSessionController::NewCommand(std::int32_t kind) const {
    auto command = std::make_unique<TFTPCommand>();
    command->Kind = kind;
    return command;
}

// The operations are bound once the parameters are known: a download picks
// its restarting form from ResumeAt.
static void BindOperations(TFTPCommand& command, TFtpClient& ftp) {
    const Operations ops = OperationsOf(command.Kind, command.ResumeAt, command.MachineListing);
    if (ops.waiting == nullptr) return;
    command.WaitingOperation = [&ftp, w = ops.waiting] { return (ftp.*w)(); };
    command.StartingOperation = [&ftp, s = ops.starting] { (ftp.*s)(); };
}

void TSessionController::Enqueue(std::unique_ptr<TFTPCommand> command) {
    try {
        BindOperations(*command, FTP);
        EnqueueCommand(std::move(command));
    } catch (const std::exception& error) {
        // Queueing shows no message box (the command is simply not run), but
        // the log says why.
        AddLogLine(FromQt(tr("Request not queued: %1").arg(ToQt(error.what()))), TLogKind::Status);
    }
}

void TSessionController::QueueListing(bool machine) {
    QueueSetType(false);
    try {
        if (!ListingTempFile.empty()) std::remove(ListingTempFile.c_str());
        auto command = NewCommand(cmdList);
        command->LocalFileName = ListingTempFile;
        command->Passive = CurrentPassive;
        command->MachineListing = machine;
        Enqueue(std::move(command));
    } catch (const std::exception& error) {
        AddLogLine(FromQt(tr("Listing not queued: %1").arg(ToQt(error.what()))), TLogKind::Status);
    }
}

void TSessionController::QueueOnFile(std::int32_t kind, const std::string& name) {
    auto command = NewCommand(kind);
    command->HostFileName = name;
    Enqueue(std::move(command));
}

void TSessionController::QueuePrintDir() { Enqueue(NewCommand(cmdPrintDir)); }

void TSessionController::QueueChangeDir(const std::string& dir) {
    auto command = NewCommand(cmdChangeDir);
    command->HostDirName = dir;
    Enqueue(std::move(command));
}

void TSessionController::QueueParentDir() { Enqueue(NewCommand(cmdParentDir)); }

void TSessionController::QueueDeleteFile(const std::string& name) { QueueOnFile(cmdDeleteFile, name); }

void TSessionController::QueueRemoveDir(const std::string& name) { QueueOnFile(cmdRemoveDir, name); }

void TSessionController::QueueRename(const std::string& oldName, const std::string& newName) {
    auto command = NewCommand(cmdRename);
    command->HostFileName = oldName;
    command->RenameTo = newName;
    Enqueue(std::move(command));
}

void TSessionController::QueueMakeDir(const std::string& name) { QueueOnFile(cmdMakeDir, name); }

void TSessionController::QueueSetType(bool binary) {
    auto command = NewCommand(cmdSetType);
    command->Binary = binary;
    Enqueue(std::move(command));
}

void TSessionController::QueueFileSize(const std::string& name) { QueueOnFile(cmdFileSize, name); }

void TSessionController::QueueFileTime(const std::string& name) { QueueOnFile(cmdFileTime, name); }

void TSessionController::QueueSiteChmod(const std::string& name, const bool (&flags)[9]) {
    auto command = NewCommand(cmdQuote);
    command->QuoteText = "SITE CHMOD " + ChmodMode(flags) + " " + name;
    Enqueue(std::move(command));
}

void TSessionController::QueueUpload(const std::string& localPath, const std::string& remoteDir, std::int64_t size, bool binary,
                                     const std::string& remoteName, std::int64_t resumeAt) {
    QueueTransfer(cmdUpload, localPath, remoteDir, remoteName, size, binary, resumeAt);
}

void TSessionController::QueueDownload(const std::string& localPath, std::int64_t resumeAt, std::int64_t size, bool binary,
                                       const std::string& remoteName, const std::string& remoteDir) {
    if (remoteName == "." || remoteName == "..") return;
    QueueTransfer(cmdDownload, localPath, remoteDir, remoteName, size, binary, resumeAt);
}

// Both directions carry the same fields and switch the transfer type first.
void TSessionController::QueueTransfer(std::int32_t kind, const std::string& localPath, const std::string& remoteDir,
                                       const std::string& remoteName, std::int64_t size, bool binary, std::int64_t resumeAt) {
    QueueSetType(binary);
    auto command = NewCommand(kind);
    command->LocalFileName = localPath;
    command->HostDirName = remoteDir;
    command->HostFileName = remoteName;
    command->Binary = binary;
    command->ExpectedSize = size;
    command->ResumeAt = resumeAt;
    Enqueue(std::move(command));
}

void TSessionController::ConnectToServer(TFTPServer* profile) {
    // A connect taken while another command is still being handled would be
    // judged before it ran.
    if (profile == nullptr || executing_) return;
    if (const std::string refusal = profile->ConnectRefusal(); !refusal.empty()) {
        AddLogLine(refusal, TLogKind::Status);
        ShowFailureText(refusal);
        return;
    }
    acceptedCertificate_.clear();
    try {
        if (CreateConnectingWindow) CreateConnectingWindow(profile);
        auto command = NewCommand(cmdConnect);
        command->HostName = profile->Hostname;
        command->Port = profile->Port;
        command->UserName = profile->Username;
        command->PassWord = profile->Password;
        command->Encryption = EngineEncryption(profile->Encryption);
        command->SocksHost = profile->SocksHost;
        command->SocksPort = profile->SocksPort;
        command->SocksUser = profile->SocksUser;
        command->SocksPassword = profile->SocksPassword;
        // The profile may be removed while the connection runs; keep what the
        // session needs from it.
        const std::string localStartDir = profile->LocalStartDir;
        const std::string startDir = profile->StartDir;
        CurrentServer = profile;
        CurrentServerName = profile->Name;
        CurrentPassive = profile->PASV == TPasvMode::Yes;
        ConnectInProgress = true;
        ConnectPhase = TConnectPhase::Reaching;
        const auto alive = alive_;
        Enqueue(std::move(command));
        if (!*alive) return;
        if (!(FTP.Connected() && ConnectInProgress)) {
            DisconnectAction();
            return;
        }
        if (!localStartDir.empty() && ChangeLocalDir) {
            try {
                ChangeLocalDir(WithoutTrailingBackslash(localStartDir));
            } catch (...) {
                // A local start folder that is gone leaves the local pane where it is.
            }
        }
        if (!startDir.empty()) QueueChangeDir(startDir);
        QueueListing();
        QueuePrintDir();
    } catch (const std::exception& error) {
        AddLogLine(FromQt(tr("Connection not completed: %1").arg(ToQt(error.what()))), TLogKind::Status);
    }
}

void TSessionController::DisconnectFromServer() {
    DestroyConnecting();
    Enqueue(NewCommand(cmdQuit));
}

void TSessionController::DisconnectAction() {
    if (Busy) {
        const auto alive = alive_;
        userClosing_ = true;
        (void)FTP.AbortSessionWait();
        if (!*alive) return;
        userClosing_ = false;
    }
    DisconnectFromServer();
}
