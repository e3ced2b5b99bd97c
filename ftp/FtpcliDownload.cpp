// Downloads: RETR, LIST and NLST into a local file or onto the display.
#include <algorithm>

#include "ftp/Ftpcli.h"
#include "platform/Ticks.h"

void TCustomFtpCli::StepRetr() {
    currentStep_ = TFtpStep::Retr;
    StartDownload(ftpReqRetrieve, "RETR");
}

void TCustomFtpCli::StepList() {
    currentStep_ = TFtpStep::List;
    listedByMlsd_ = requestType_ == ftpReqMachineList && features_.Has("MLST");
    StartDownload(requestType_ == ftpReqMachineList ? ftpReqMachineList : ftpReqList, listedByMlsd_ ? "MLSD" : "LIST");
}

void TCustomFtpCli::StepNlst() {
    currentStep_ = TFtpStep::Nlst;
    StartDownload(ftpReqNameList, "NLST");
}

void TCustomFtpCli::StartDownload(TFtpRequest Request, const char* Command) {
    if (!controlConnected_) throw FtpException(std::string(Command) + ": not connected");
    request_ = NextParameters();
    if (request_.LocalFileName.empty() && !request_.DisplayFileFlag) throw FtpException("LocalFileName empty");
    RefuseLineBreak("HostFileName", request_.HostFileName);
    if (!inSequence_) requestType_ = Request;
    transferCommand_ = Command;
    receiveDataClosed_ = false;
    BeginTransferState();
    BindDataAccept(&TCustomFtpCli::DownloadSessionAvailable);
    if (!request_.DisplayFileFlag && !OpenDownloadFile()) return;
    text_ = FtpTextConverter();
    if (localStream_ && !TextTransfer()) pipe_ = FtpPipe::Open(kReceiveBlock);
    if (request_.Passive) {
        int port = 0;
        if (!PassivePort(port)) return;
        dataSocket_->OnSessionConnected = [this](TCustomWSocket*, std::uint16_t Error) {
            DataEvent([this, Error] { DownloadSessionConnected(Error); });
        };
        // The command goes out without waiting for the connection.
        if (!ConnectPassive(port)) return;
    }
    fNext_ = &TCustomFtpCli::DownloadFirstReply;
    if (!SetState(ftpStateWaitingReply)) return;
    transferCommandSent_ = true;
    SendCommand(request_.HostFileName.empty() ? transferCommand_ : transferCommand_ + " " + request_.HostFileName);
    if (acceptPending_ && !request_.Passive) {
        acceptPending_ = false;
        DownloadSessionAvailable();
    }
}

bool TCustomFtpCli::OpenDownloadFile() {
    // The file is opened (and locked) before the command goes out, but its
    // bytes stay until the server accepts the transfer.
    localStream_ = request_.ResumeAt > 0 ? FtpLocalFile::OpenForWrite(request_.LocalFileName, shareFlags_, request_.ResumeAt)
                                         : FtpLocalFile::OpenForDownload(request_.LocalFileName, shareFlags_);
    pendingTruncate_ = localStream_ && request_.ResumeAt <= 0;
    if (localStream_) return true;
    SetFailure(550, "Unable to open local file " + request_.LocalFileName);
    CloseDataSocket();
    FinishStep(550);
    return false;
}

void TCustomFtpCli::DownloadSessionAvailable() {
    const platform::SocketHandle accepted = AcceptDataConnection();
    if (accepted == platform::kInvalidSocket) return;
    BindDownloadData();
    dataSocket_->Dup(accepted);
    startTick_ = platform::GetTickCount();
    StartDataTls();
}

void TCustomFtpCli::DownloadSessionConnected(std::uint16_t Error) {
    BindDownloadData();
    startTick_ = platform::GetTickCount();
    if (Error != 0) {
        FailDataConnection("Unable to establish data connection, error #" + std::to_string(Error));
        return;
    }
    StartDataTls();
}

void TCustomFtpCli::BindDownloadData() {
    dataSocket_->OnSessionClosed = [this](TCustomWSocket*, std::uint16_t Error) {
        DataEvent([this, Error] { DownloadSessionClosed(Error); });
    };
    dataSocket_->OnDataAvailable = [this](TCustomWSocket*, std::uint16_t) { DataEvent([this] { DownloadDataAvailable(); }); };
    dataSocket_->OnDataSent = nullptr;
}

// Reads until the connection is drained (a short block) or the bound for one
// notification is reached; level-triggered readiness brings the rest.
// OnProgress comes once at the start and then after every block, so that the
// count shown is never a block behind, and an abort stops the download
// before the next block. Its handler may pump messages and end the request.
void TCustomFtpCli::DownloadDataAvailable() {
    const std::uint32_t request = requestSerial_;
    const auto goOn = [&] { return NotifyProgress() && request == requestSerial_ && transferLive_; };
    if (progressCount_ < 0 && !goOn()) return;
    for (int taken = 0; taken < kBytesPerEvent;) {
        const int wanted = pipe_ ? pipe_->Capacity() : ReceiveBlockSize();
        const int received = pipe_ ? ReceiveBlockThroughPipe() : ReceiveBlock();
        if (received <= 0 || !goOn() || received < wanted) return;
        taken += received;
    }
}

int TCustomFtpCli::ReceiveBlock() {
    char* const buffer = TransferBlock();
    const int received = dataSocket_->Receive(buffer, ReceiveBlockSize());
    if (received <= 0) {
        if (received < 0) FailReceive();
        return received;
    }
    byteCount_ += received;
    if (!StartLocalWrite()) return -1;
    if (localStream_) {
        const char* local = buffer;
        std::size_t count = static_cast<std::size_t>(received);
        if (TextTransfer()) {
            count = text_.ToLocal(buffer, count, TextBlock());
            local = TextBlock();
        }
        if (!localStream_->WriteAll(local, static_cast<int>(count))) {
            FailLocalWrite();
            return -1;
        }
    }
    if (request_.DisplayFileFlag) CutDisplayLines(buffer, received);
    return received;
}

// A binary download into a file: the bytes go from the connection through a
// pipe into the file without being copied through the process. Whatever
// cannot go that way falls back to ReceiveBlock for the rest of the download.
int TCustomFtpCli::ReceiveBlockThroughPipe() {
    if (!localStream_) pipe_.reset();
    if (!pipe_) return ReceiveBlock();
    const int received = dataSocket_->ReceiveToPipe(pipe_->WriteEnd(), pipe_->Capacity());
    if (received < 0 && dataSocket_->LastError() == platform::WSAEOPNOTSUPP) {
        // Bytes the socket holds itself come first, by Receive.
        pipe_.reset();
        return ReceiveBlock();
    }
    if (received <= 0) {
        if (received < 0) FailReceive();
        return received;
    }
    byteCount_ += received;
    if (!StartLocalWrite()) return -1;
    bool unsupported = false;
    const int moved = localStream_->WriteFromPipe(pipe_->ReadEnd(), received, unsupported);
    if (moved == received) return received;
    if (!unsupported || !WritePipeRest(received - moved)) {
        FailLocalWrite();
        return -1;
    }
    pipe_.reset();
    return received;
}

// The file takes no spliced bytes: those still in the pipe are written plainly.
bool TCustomFtpCli::WritePipeRest(int count) {
    char* const buffer = TransferBlock();
    while (count > 0) {
        const int got = pipe_->Read(buffer, std::min(count, kReceiveBlock));
        if (got <= 0 || !localStream_->WriteAll(buffer, got)) return false;
        count -= got;
    }
    return true;
}

// A short local file must never be reported as a good download.
void TCustomFtpCli::FailLocalWrite() {
    Display("! Error writing local file");
    RecordLocalFailure("426 Error writing local file " + request_.LocalFileName);
    dataSocket_->Shutdown(2);
    CloseDataSocket();
}

// Nothing waiting is no failure; a closed socket has reported itself.
void TCustomFtpCli::FailReceive() {
    if (dataSocket_->State() != wsConnected || dataSocket_->LastError() == platform::WSAEWOULDBLOCK) return;
    const std::string error = std::to_string(dataSocket_->LastError());
    Display("! Data: Receive error " + error);
    RecordLocalFailure("426 Data: Receive error " + error);
    dataSocket_->Shutdown(2);
    CloseDataSocket();
}

// Pieces are runs of bytes other than CR and LF; a block that starts with a
// line end first yields one empty piece. A line split across two blocks
// arrives as two pieces.
void TCustomFtpCli::CutDisplayLines(const char* Data, int Count) {
    auto isLineEnd = [](char c) { return c == '\r' || c == '\n'; };
    int pos = 0;
    if (Count > 0 && isLineEnd(Data[0])) {
        NotifyDisplayFile("");
        while (pos < Count && isLineEnd(Data[pos])) ++pos;
    }
    while (pos < Count) {
        const int start = pos;
        while (pos < Count && !isLineEnd(Data[pos])) ++pos;
        NotifyDisplayFile(std::string(Data + start, Data + pos));
        while (pos < Count && isLineEnd(Data[pos])) ++pos;
    }
}

// A text download that ended with a CR: nothing followed it, so it stays.
void TCustomFtpCli::FlushHeldLineEnd() {
    char cr = 0;
    if (!localStream_ || pendingTruncate_ || text_.FinishToLocal(&cr) == 0) return;
    if (localStream_->WriteAll(&cr, 1)) return;
    Display("! Error writing local file");
    RecordLocalFailure("426 Error writing local file " + request_.LocalFileName);
}

void TCustomFtpCli::DownloadSessionClosed(std::uint16_t Error) {
    FlushHeldLineEnd();
    // An empty transfer may close before its 150 is handled; the file then
    // waits for that reply to be emptied (or left alone on a refusal).
    if (!pendingTruncate_) CloseLocalStream();
    receiveDataClosed_ = true;
    dataCloseError_ = Error;
    CheckDownloadEnd();
    TryFinishTransfer(receiveDataClosed_);
}

// Someone between us and the server can end a protected data connection
// with a bare TCP close while the server, which sent everything, still says
// 226 over the control connection: only close_notify proves the end. The
// announced size catches a short plain download the same way.
void TCustomFtpCli::CheckDownloadEnd() {
    if (!localFailure_.empty()) return;  // our own close, already a failure
    if (DataEncrypted() && !dataSocket_->SslCloseNotifyReceived()) {
        Display("! the data connection was cut before its end");
        RecordLocalFailure("426 the data connection was cut before its end");
        return;
    }
    if (announcedSize_ < 0 || byteCount_ == announcedSize_ || byteCount_ + request_.ResumeAt == announcedSize_) return;
    const std::string line =
        "426 the data connection ended after " + std::to_string(byteCount_) + " of " + std::to_string(announcedSize_) + " bytes";
    Display("! " + line.substr(4));
    RecordLocalFailure(line);
}

namespace {

// "150 Opening BINARY mode data connection for f (1048576 bytes)." gives
// 1048576; anything else gives -1.
std::int64_t AnnouncedSize(const std::string& reply) {
    const std::size_t open = reply.rfind('(');
    if (open == std::string::npos) return -1;
    std::size_t digits = open + 1;
    std::int64_t size = 0;
    while (digits < reply.size() && reply[digits] >= '0' && reply[digits] <= '9' && size < (std::int64_t{1} << 56))
        size = size * 10 + (reply[digits++] - '0');
    if (digits == open + 1 || reply.compare(digits, 7, " bytes)") != 0) return -1;
    return size;
}

}  // namespace

void TCustomFtpCli::DownloadFirstReply() {
    if (!TakeFinalReply()) return;
    if (statusCode_ == 125 || statusCode_ == 150) {
        fNext_ = &TCustomFtpCli::DownloadSecondReply;
        transferAccepted_ = true;
        // Line-end conversion changes the count on the wire.
        if (currentStep_ == TFtpStep::Retr && !TextTransfer()) announcedSize_ = AnnouncedSize(lastResponse_);
        StartDataTls();
        if (StartLocalWrite() && receiveDataClosed_) CloseLocalStream();
        return;
    }
    FailFirstTransferReply();
}

void TCustomFtpCli::DownloadSecondReply() {
    if (!TakeFinalReply()) return;
    if (dataFailed_) {
        FinishAfterDataFailure();
        return;
    }
    if (statusCode_ == 125 || statusCode_ == 226 || statusCode_ == 250) {
        finalReplyOk_ = true;
        TryFinishTransfer(receiveDataClosed_);
        return;
    }
    FailFinalTransferReply("! RETR/LIST/NLST Failed");
}
