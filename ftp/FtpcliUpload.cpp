// Uploads: STOR and APPE from a local file, in large blocks.
#include "ftp/Ftpcli.h"
#include "platform/Ticks.h"

void TCustomFtpCli::StepStor() {
    currentStep_ = TFtpStep::Stor;
    StartUpload(false);
}

void TCustomFtpCli::StepAppe() {
    currentStep_ = TFtpStep::Appe;
    StartUpload(true);
}

void TCustomFtpCli::StartUpload(bool Append) {
    appendMode_ = Append;
    requestType_ = Append ? ftpReqAppend : ftpReqStore;
    if (!controlConnected_) throw FtpException("STOR/APPE: not connected");
    request_ = NextParameters();
    if (request_.LocalFileName.empty()) throw FtpException("LocalFileName empty");
    RefuseLineBreak("HostFileName", request_.HostFileName);
    sendDataClosed_ = false;
    BeginTransferState();
    const std::weak_ptr<bool> alive = alive_;
    const bool cancelled = NotifyReadyToTransmit();
    if (alive.expired()) return;
    if (cancelled) {
        FailUploadStart("426 Transmit cancelled by application");
        return;
    }
    BindDataAccept(&TCustomFtpCli::UploadSessionAvailable);
    localStream_ = FtpLocalFile::OpenForRead(request_.LocalFileName, shareFlags_, request_.ResumeAt);
    endOfFile_ = false;
    maySend_ = false;
    blockSent_ = blockEnd_ = 0;
    text_ = FtpTextConverter();
    if (!localStream_) {
        FailUploadStart("426 Unable to open local file " + request_.LocalFileName);
        return;
    }
    if (!request_.Passive) {
        if (!SendUploadCommand()) return;
        if (acceptPending_) {
            acceptPending_ = false;
            UploadSessionAvailable();
        }
        return;
    }
    int port = 0;
    if (!PassivePort(port)) return;
    // Busy while the data connection is being made, so that no second request
    // can start in between; the command goes out once it is up.
    fNext_ = &TCustomFtpCli::UploadFirstReply;
    if (!SetState(ftpStateWaitingReply)) return;
    dataSocket_->OnSessionConnected = [this](TCustomWSocket*, std::uint16_t Error) {
        DataEvent([this, Error] { UploadSessionConnected(Error); });
    };
    (void)ConnectPassive(port);
}

// Nothing was sent yet; the message replaces any earlier one.
void TCustomFtpCli::FailUploadStart(const std::string& Line) {
    errorMessage_ = Line;
    statusCode_ = 426;
    Display("! " + errorMessage_);
    CloseDataSocket();
    resultCode_ = 426;
    FinishStep(426);
}

bool TCustomFtpCli::SendUploadCommand() {
    fNext_ = &TCustomFtpCli::UploadFirstReply;
    if (!SetState(ftpStateWaitingReply)) return false;
    transferCommandSent_ = true;
    SendCommand((appendMode_ ? "APPE " : "STOR ") + request_.HostFileName);
    return true;
}

void TCustomFtpCli::UploadSessionConnected(std::uint16_t Error) {
    dataSocket_->OnSessionClosed = [this](TCustomWSocket*, std::uint16_t CloseError) {
        DataEvent([this, CloseError] { UploadSessionClosed(CloseError); });
    };
    dataSocket_->OnDataAvailable = nullptr;
    dataSocket_->OnDataSent = nullptr;
    startTick_ = platform::GetTickCount();
    if (Error != 0) {
        FailDataConnection("Unable to establish data connection, error #" + std::to_string(Error));
        return;
    }
    SendUploadCommand();
}

void TCustomFtpCli::UploadSessionAvailable() {
    const platform::SocketHandle accepted = AcceptDataConnection();
    if (accepted == platform::kInvalidSocket) return;
    dataSocket_->OnSessionClosed = [this](TCustomWSocket*, std::uint16_t Error) {
        DataEvent([this, Error] { UploadSessionClosed(Error); });
    };
    dataSocket_->OnDataAvailable = [this](TCustomWSocket*, std::uint16_t) { DiscardDataAvailable(); };
    dataSocket_->OnDataSent = [this](TCustomWSocket*, std::uint16_t Error) {
        DataEvent([this, Error] { SendNextBlock(Error); });
    };
    dataSocket_->Dup(accepted);
    // Graceful close at the end, so that the server sees the whole file.
    dataSocket_->SetLingerOnOff(wsLingerOff);
    dataSocket_->SetLingerTimeout(10);
    dataSocket_->ApplyLinger();
    StartDataTls();
}

void TCustomFtpCli::DiscardDataAvailable() {
    char scratch[2048];
    (void)dataSocket_->Receive(scratch, sizeof scratch);
}

void TCustomFtpCli::UploadFirstReply() {
    if (!TakeFinalReply()) return;
    if (statusCode_ == 125 || statusCode_ == 150) {
        maySend_ = true;
        transferAccepted_ = true;
        StartDataTls();
        fNext_ = &TCustomFtpCli::UploadSecondReply;
        if (request_.Passive) {
            dataSocket_->OnDataSent = [this](TCustomWSocket*, std::uint16_t Error) {
                DataEvent([this, Error] { SendNextBlock(Error); });
            };
            SendNextBlock(0);
        } else {
            (void)window_->Post(StartSendMessage, 0, 0);
        }
        return;
    }
    FailFirstTransferReply();
}

void TCustomFtpCli::UploadSecondReply() {
    if (!TakeFinalReply()) return;
    if (dataFailed_) {
        FinishAfterDataFailure();
        return;
    }
    if (statusCode_ == 226 || statusCode_ == 250) {
        finalReplyOk_ = true;
        TryFinishTransfer(sendDataClosed_);
        return;
    }
    FailFinalTransferReply("! STOR Failed");
}

// Sends block after block until the socket would block (OnDataSent follows
// once it can take more) or the bound for one notification is reached (the
// write notice of the last send brings the next round). The block stays in
// the engine until the kernel has taken all of it, so it is never copied
// into the socket's queue. A handler of OnProgress may pump messages and end
// the request meanwhile.
void TCustomFtpCli::SendNextBlock(std::uint16_t Error) {
    const std::uint32_t request = requestSerial_;
    for (int sent = 0; sent < kBytesPerEvent;) {
        if (!localStream_) return;
        if (Error != 0) {
            Display("! Error #" + std::to_string(Error) + " sending data");
            RecordLocalFailure("426 Error #" + std::to_string(Error) + " sending data");
            CloseDataSocket();
            return;
        }
        // In active mode the first reply may come before the server's
        // connection has been accepted; the first writable notice after the
        // accept resumes.
        if (endOfFile_ || !maySend_ || dataSocket_->State() != wsConnected) return;
        if (blockSent_ == blockEnd_) {
            if (!NotifyProgress() || request != requestSerial_ || !localStream_) return;
            if (!ReadNextBlock()) return;
        }
        const int taken = dataSocket_->TrySend(sendData_ + blockSent_, blockEnd_ - blockSent_);
        if (taken < 0) return;
        blockSent_ += taken;
        byteCount_ += taken;
        sent += taken;
        if (blockSent_ < blockEnd_) return;
    }
}

// False at the end of the file (the connection is closed gracefully, so
// that the server sees the end) and after a read failure (reported).
// Reading the block ourselves was measured against sendfile(): on loopback
// sendfile() left the one copy of the bytes to the server, whose CPU time
// grew by half and whose uploads ran 10 to 20% slower (bench/RESULTS.md).
bool TCustomFtpCli::ReadNextBlock() {
    const int count = localStream_->Read(TransferBlock(), SendBlockSize());
    blockSent_ = blockEnd_ = 0;
    if (count < 0) {
        // Closing gracefully would make a truncated upload look complete.
        Display("! Error reading file");
        RecordLocalFailure("426 Error reading file " + request_.LocalFileName);
        CloseDataSocket();
        return false;
    }
    if (count == 0) {
        endOfFile_ = true;
        CloseDataSocket();
        return false;
    }
    sendData_ = TransferBlock();
    blockEnd_ = count;
    if (TextTransfer()) {
        blockEnd_ = static_cast<int>(text_.ToWire(TransferBlock(), static_cast<std::size_t>(count), TextBlock()));
        sendData_ = TextBlock();
    }
    return true;
}

void TCustomFtpCli::UploadSessionClosed(std::uint16_t Error) {
    CloseLocalStream();
    sendDataClosed_ = true;
    dataCloseError_ = Error;
    if (!endOfFile_ && maySend_) RecordLocalFailure("426 Data connection closed before the end of the file");
    TryFinishTransfer(sendDataClosed_);
}
