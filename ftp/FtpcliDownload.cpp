// Downloads: RETR, LIST and NLST into a local file or onto the display.
#include "ftp/Ftpcli.h"
#include "platform/Ticks.h"

void TCustomFtpCli::StepRetr() {
    currentStep_ = TFtpStep::Retr;
    StartDownload(ftpReqRetrieve, "RETR");
}

void TCustomFtpCli::StepList() {
    currentStep_ = TFtpStep::List;
    StartDownload(ftpReqList, "LIST");
}

void TCustomFtpCli::StepNlst() {
    currentStep_ = TFtpStep::Nlst;
    StartDownload(ftpReqNameList, "NLST");
}

void TCustomFtpCli::StartDownload(TFtpRequest Request, const char* Command) {
    if (!controlConnected_) throw FtpException(std::string(Command) + ": not connected");
    if (LocalFileName.empty() && !DisplayFileFlag) throw FtpException("LocalFileName empty");
    if (HostFileName.find_first_of("\r\n") != std::string::npos)
        throw FtpException("HostFileName contains a line break; refused");
    if (!inSequence_) requestType_ = Request;
    transferCommand_ = Command;
    finalReplyOk_ = false;
    receiveDataClosed_ = false;
    doneSignalled_ = false;
    byteCount_ = 0;
    dataCloseError_ = 0;
    localFailure_.clear();
    transferRequest_ = true;
    transferLive_ = true;
    transferCommandSent_ = false;
    dataFailed_ = false;
    pendingTruncate_ = false;
    BindDataAccept(&TCustomFtpCli::DownloadSessionAvailable);
    if (!DisplayFileFlag && !OpenDownloadFile()) return;
    if (Passive) {
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
    SendCommand(HostFileName.empty() ? transferCommand_ : transferCommand_ + " " + HostFileName);
    if (acceptPending_ && !Passive) {
        acceptPending_ = false;
        DownloadSessionAvailable();
    }
}

bool TCustomFtpCli::OpenDownloadFile() {
    // The file is opened (and locked) before the command goes out, but its
    // bytes stay until the server accepts the transfer.
    localStream_ = ResumeAt > 0 ? FtpLocalFile::OpenForWrite(LocalFileName, shareFlags_, ResumeAt)
                                : FtpLocalFile::OpenForDownload(LocalFileName, shareFlags_);
    pendingTruncate_ = localStream_ && ResumeAt <= 0;
    if (localStream_) return true;
    lastResponse_ = "Unable to open local file " + LocalFileName;
    statusCode_ = 550;
    RecordFailure();
    CloseDataSocket();
    resultCode_ = 550;
    FinishStep(550);
    return false;
}

void TCustomFtpCli::DownloadSessionAvailable() {
    const platform::SocketHandle accepted = AcceptDataConnection();
    if (accepted == platform::kInvalidSocket) return;
    BindDownloadData();
    dataSocket_->Dup(accepted);
    startTick_ = platform::GetTickCount();
}

void TCustomFtpCli::DownloadSessionConnected(std::uint16_t Error) {
    BindDownloadData();
    startTick_ = platform::GetTickCount();
    if (Error != 0) FailDataConnection("Unable to establish data connection, error #" + std::to_string(Error));
}

void TCustomFtpCli::BindDownloadData() {
    dataSocket_->OnSessionClosed = [this](TCustomWSocket*, std::uint16_t Error) {
        DataEvent([this, Error] { DownloadSessionClosed(Error); });
    };
    dataSocket_->OnDataAvailable = [this](TCustomWSocket*, std::uint16_t) { DataEvent([this] { DownloadDataAvailable(); }); };
    dataSocket_->OnDataSent = nullptr;
}

void TCustomFtpCli::DownloadDataAvailable() {
    if (!NotifyProgress()) return;
    char buffer[2048];
    const int received = dataSocket_->Receive(buffer, sizeof buffer);
    if (received > 0) {
        byteCount_ += received;
        if (!StartLocalWrite()) return;
        if (localStream_ && !localStream_->WriteAll(buffer, received)) {
            // A short local file must never be reported as a good download.
            Display("! Error writing local file");
            RecordLocalFailure("426 Error writing local file " + LocalFileName);
            dataSocket_->Shutdown(2);
            CloseDataSocket();
            return;
        }
        if (DisplayFileFlag) CutDisplayLines(buffer, received);
    } else if (received < 0 && dataSocket_->State() == wsConnected && dataSocket_->LastError() != platform::WSAEWOULDBLOCK) {
        const std::string error = std::to_string(dataSocket_->LastError());
        Display("! Data: Receive error " + error);
        RecordLocalFailure("426 Data: Receive error " + error);
        dataSocket_->Shutdown(2);
        CloseDataSocket();
    }
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

void TCustomFtpCli::DownloadSessionClosed(std::uint16_t Error) {
    // An empty transfer may close before its 150 is handled; the file then
    // waits for that reply to be emptied (or left alone on a refusal).
    if (!pendingTruncate_) CloseLocalStream();
    receiveDataClosed_ = true;
    dataCloseError_ = Error;
    TryFinishTransfer(receiveDataClosed_);
}

void TCustomFtpCli::DownloadFirstReply() {
    if (!TakeFinalReply()) return;
    if (statusCode_ == 125 || statusCode_ == 150) {
        fNext_ = &TCustomFtpCli::DownloadSecondReply;
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
