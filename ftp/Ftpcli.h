#pragma once
// The FTP engine: one control connection to one server, replies turned into
// lines and judged, requests built from steps, and a data connection per
// listing or transfer. This is the one header a caller needs.
//
// Every request has a starting form (Begin..., returns at once; the outcome
// arrives as OnRequestDone through the message loop, never from inside the
// call that ended it) and TFtpClient adds blocking forms that pump the loop
// until the engine is ready again or Timeout seconds pass in silence (no
// reply line and no data block).
//
// Misuse (a request while another runs, a missing parameter, a parameter that
// holds a line break and would smuggle a second command) raises FtpException
// before anything is sent. Network failures are values: socket error numbers
// or reply codes in OnRequestDone's Error, with ErrorMessage holding the first
// failure text since it was last cleared.
//
// All events are raised on the thread that owns the message loop, with the
// engine as Sender. A handler may start the next request from OnRequestDone.
//
// Handlers may pump messages. Reply lines that arrive meanwhile wait until
// the line being handled is done; a request that ended meanwhile (an abort,
// a closed connection) keeps its result.
//
// A handler of OnRequestDone, OnResponse, OnProgress, OnReadyToTransmit,
// OnStateChange, OnSessionConnected or OnSessionClosed may destroy the
// engine: it re-checks that it still exists after raising each of them, and
// a blocking form whose engine was destroyed returns false at once. Handlers
// of OnDisplay, OnDisplayFile and OnCommand must not destroy it: they are
// raised from the middle of the engine's work.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "ftp/FtpFeatures.h"
#include "ftp/FtpLocalFile.h"
#include "ftp/FtpPipe.h"
#include "ftp/FtpRemoteEntry.h"
#include "ftp/FtpReplyBuffer.h"
#include "ftp/FtpRequestParameters.h"
#include "ftp/FtpTextConverter.h"
#include "net/WSocket.h"
#include "platform/MessageWindow.h"

class FtpException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The numbers are part of the interface (status texts are mapped from them);
// 6 belongs to a state the engine never enters.
enum TFtpState : std::uint8_t {
    ftpStateDisconnected = 0,
    ftpStateReady = 1,
    ftpStateBetweenSteps = 2,
    ftpStateResolving = 3,
    ftpStateConnected = 4,
    ftpStateAborting = 5,
    ftpStateConnecting = 7,
    ftpStateWaitingReply = 8,
};

// The number is what OnRequestDone carries; 19 and 20 are not assigned.
enum TFtpRequest : std::uint8_t {
    ftpReqNone = 0,
    ftpReqOpen = 1,
    ftpReqUser = 2,
    ftpReqPass = 3,
    ftpReqCwd = 4,
    ftpReqLogin = 5,
    ftpReqSessionRetrieve = 6,
    ftpReqList = 7,
    ftpReqNameList = 8,
    ftpReqPort = 9,
    ftpReqRetrieve = 10,
    ftpReqSessionList = 11,
    ftpReqSessionNameList = 12,
    ftpReqSessionSyst = 13,
    ftpReqSyst = 14,
    ftpReqQuit = 15,
    ftpReqSize = 16,
    ftpReqStore = 17,
    ftpReqAppend = 18,
    ftpReqMkd = 21,
    ftpReqRmd = 22,
    ftpReqSessionRename = 23,
    ftpReqDele = 24,
    ftpReqRename = 25,
    ftpReqRenameTo = 26,
    ftpReqRenameFrom = 27,
    ftpReqSessionDele = 28,
    ftpReqSessionMkd = 29,
    ftpReqSessionRmd = 30,
    ftpReqPwd = 31,
    ftpReqQuote = 32,
    ftpReqCdup = 33,
    ftpReqSessionQuote = 34,
    ftpReqSessionStore = 35,
    ftpReqType = 36,
    ftpReqRest = 37,
    ftpReqRestartRetrieve = 38,
    ftpReqSessionRestartRetrieve = 39,
    ftpReqMachineList = 40,
    ftpReqMachineFile = 41,
    ftpReqFileTime = 42,
    ftpReqSetFileTime = 43,
    ftpReqNoop = 44,
};

// Whether and how the connection is encrypted (RFC 4217). Explicit: AUTH TLS
// after the greeting, then PBSZ 0 and PROT P, all before USER. "If
// available" goes on in clear only when the server refuses AUTH TLS, never
// after a failed handshake. Implicit: TLS from the first byte (port 990).
enum TFtpEncryption { ftpTlsNone, ftpTlsExplicitIfAvailable, ftpTlsExplicitRequired, ftpTlsImplicit };

// Shown (after "! ") each time "if available" goes on in clear, after a
// refused AUTH TLS or a refused PROT P: the user must never be left to
// believe the session is encrypted.
inline constexpr char kTlsRefusedText[] = "the server refused TLS: continuing without encryption";

// What OnCertificateCheck decides about the server's certificate. The
// engine treats both trusts alike; remembering is the caller's business.
enum TFtpCertificateDecision { ftpCertRefuse, ftpCertTrustOnce, ftpCertTrustAlways };

// How the local file of a transfer is shared while it is open (see
// FtpLocalFile.h for the mapping onto Linux locks).
enum TFtpShareMode { ftpShareCompat, ftpShareExclusive, ftpShareDenyWrite, ftpShareDenyRead, ftpShareDenyNone };

// Steps in the fixed order in which a request runs them.
enum class TFtpStep : std::uint8_t {
    None,
    Open,
    User,
    Pass,
    Feat,
    Cwd,
    Cdup,
    Type,
    Port,
    Rest,
    Retr,
    Stor,
    Appe,
    List,
    Nlst,
    Syst,
    Mkd,
    Rmd,
    Rnfr,
    Rnto,
    Size,
    Dele,
    Mlst,
    Mdtm,
    Mfmt,
    Noop,
    Pwd,
    Quote,
    Quit,
};

class TCustomFtpCli;

using TFtpDisplay = std::function<void(TCustomFtpCli* Sender, std::string& Msg)>;
using TFtpCommand = std::function<void(TCustomFtpCli* Sender, std::string& Cmd)>;
using TFtpNotifyEvent = std::function<void(TCustomFtpCli* Sender)>;
using TFtpSessionConnected = std::function<void(TCustomFtpCli* Sender, std::uint16_t Error)>;
using TFtpSessionClosed = std::function<void(TCustomFtpCli* Sender, std::uint16_t Error)>;
using TFtpRequestDone = std::function<void(TCustomFtpCli* Sender, TFtpRequest RqType, std::uint16_t Error)>;
using TFtpProgress = std::function<void(TCustomFtpCli* Sender, std::int64_t Count, bool& Abort)>;
using TFtpReadyToTransmit = std::function<void(TCustomFtpCli* Sender, bool& bCancel)>;
using TFtpCertificateCheck =
    std::function<void(TCustomFtpCli* Sender, const TSslCertificateInfo& Certificate, TFtpCertificateDecision& Decision)>;

// Messages the engine posts to its own window.
inline constexpr std::uint32_t RequestDoneMessage = platform::WM_USER + 1;
inline constexpr std::uint32_t StartSendMessage = platform::WM_USER + 2;
inline constexpr std::uint32_t NextAddressMessage = platform::WM_USER + 3;

class TCustomFtpCli : public platform::MessageTarget {
public:
    TCustomFtpCli();
    ~TCustomFtpCli() override;
    TCustomFtpCli(const TCustomFtpCli&) = delete;
    TCustomFtpCli& operator=(const TCustomFtpCli&) = delete;

    platform::LParam HandleMessage(std::uint32_t Msg, platform::WParam wParam, platform::LParam lParam) override;

    // Large blocks: measured 64, 128 and 256 KiB against vsftpd and pyftpdlib
    // on loopback, 1 GiB each (bench/RESULTS.md). Receiving, 256 KiB took
    // 0.50 CPU seconds per GiB against 0.88 to 0.99 for 64 KiB; sending, the
    // three sizes ran equally fast and 256 KiB took the least CPU. The
    // written 2048/1514 bytes capped throughput at a third of the command-line
    // peers' (half a million reads and writes per GiB). No server, peer or file
    // can tell the difference; OnProgress still comes once per block.
    static constexpr int kReceiveBlock = 256 * 1024;
    static constexpr int kSendBlock = 256 * 1024;
    // Over TLS the records come decrypted from OpenSSL's read-ahead buffer
    // (net/SslContext.cpp) and go out encrypted through a buffer of their
    // own, whatever the block: 64 KiB ran as fast as 256 KiB both ways (1
    // GiB with vsftpd) and keeps 0.2 MiB (down) to 0.5 MiB (up) less memory
    // in use.
    static constexpr int kTlsReceiveBlock = 64 * 1024;
    static constexpr int kTlsSendBlock = 64 * 1024;
    // Bytes moved per socket notification before the message loop gets its
    // turn again (a window to repaint, the control connection's replies).
    static constexpr int kBytesPerEvent = 1 << 20;

    // ---- parameters, read by the requests ---------------------------------
    std::string HostName;
    std::string Port = "ftp";
    std::string UserName;
    std::string PassWord;
    std::string HostDirName;
    std::string HostFileName;
    std::string LocalFileName;     // local file of a transfer or a listing
    std::string RenameTo;          // the new name RNTO gives HostFileName
    std::string QuoteLine;         // the whole command line of a quote request
    bool DisplayFlag = false;      // kept for the caller; the engine ignores it
    bool DisplayFileFlag = false;  // received data goes to OnDisplayFile, not a file
    bool Passive = false;          // PASV instead of PORT
    // The modification time BeginSetFileTime gives HostFileName, in seconds
    // since the epoch, UTC.
    std::int64_t FileTimeUtc = 0;
    std::int64_t ResumeAt = 0;  // restart offset of a download
    TFtpEncryption Encryption = ftpTlsNone;
    // Trusted authorities and protocol versions; the shared system one
    // unless set.
    std::shared_ptr<TSslContext> SslContext;
    // A SOCKS 5 proxy for the control and every data connection (empty:
    // none); user and password when it asks for them. The proxy looks the
    // server's name up unless SocksLocalLookup (the socks5:// rather than
    // socks5h:// convention). Data connections through a proxy are passive:
    // an active request is made passive, with a line in the log.
    std::string SocksServer;
    std::string SocksPort = "1080";
    std::string SocksUsercode;
    std::string SocksPassword;
    bool SocksLocalLookup = false;

    bool Binary() const { return typeChar_ == 'I'; }
    void SetBinary(bool Value) { typeChar_ = Value ? 'I' : 'A'; }
    char TypeChar() const { return typeChar_; }
    TFtpShareMode ShareMode() const;
    // Any value that is not a share mode stores the exclusive one.
    void SetShareMode(TFtpShareMode Value);
    bool AppendMode() const { return appendMode_; }

    // ---- results ------------------------------------------------------------
    TFtpState State() const { return state_; }
    int StatusCode() const { return statusCode_; }
    int ResultCode() const { return resultCode_; }
    const std::string& LastResponse() const { return lastResponse_; }
    const std::string& ErrorMessage() const { return errorMessage_; }
    void SetErrorMessage(const std::string& Value) { errorMessage_ = Value; }
    TFtpRequest RequestType() const { return requestType_; }
    bool Connected() const { return controlSocket_->State() != wsClosed; }
    std::int64_t RemoteFileSize() const { return remoteFileSize_; }
    const std::string& ReplyDirectory() const { return replyDirectory_; }
    std::int64_t ByteCount() const { return byteCount_; }
    // The offset the last transfer started from (0: the start). ResumeAt
    // is reset when a transfer ends, so that the next one cannot inherit
    // it; this keeps what was used.
    std::int64_t ResumedAt() const { return resumedAt_; }
    const std::string& SavedReply() const { return savedReply_; }
    TFtpStep CurrentStep() const { return currentStep_; }
    TWSocket& ControlSocket() { return *controlSocket_; }
    // The statistics line shown after a transfer of `Bytes` in `ElapsedMs`.
    static std::string TransferStatsLine(std::int64_t Bytes, std::uint32_t ElapsedMs);
    TWSocket& DataSocket() { return *dataSocket_; }
    // The control connection is encrypted (after the handshake), and so are
    // the data connections (the server accepted PROT P).
    bool Encrypted() const { return controlSocket_->SslEstablished(); }
    bool DataEncrypted() const { return Encrypted() && dataProtected_; }
    // What the server listed in answer to FEAT after the log-in (after AUTH
    // TLS too, where servers change the list); empty when it refused FEAT.
    const FtpFeatures& Features() const { return features_; }
    // The server accepted OPTS UTF8 ON: names go both ways in UTF-8.
    bool Utf8Names() const { return utf8Names_; }
    // The last listing was MLSD (BeginMachineList on a server that lists
    // MLST): ParseMlsdListing reads it. Otherwise it was LIST.
    bool ListedByMlsd() const { return listedByMlsd_; }
    // HostFileName's facts from the last BeginMachineFile.
    const FtpRemoteEntry& RemoteEntry() const { return remoteEntry_; }
    // HostFileName's modification time from the last BeginFileTime (UTC).
    std::optional<std::int64_t> RemoteFileTime() const { return remoteFileTime_; }

    // ---- events -------------------------------------------------------------
    TFtpDisplay OnDisplay;
    TFtpDisplay OnDisplayFile;
    TFtpCommand OnCommand;
    TFtpNotifyEvent OnResponse;
    TFtpSessionConnected OnSessionConnected;
    TFtpSessionClosed OnSessionClosed;
    TFtpNotifyEvent OnStateChange;
    TFtpRequestDone OnRequestDone;
    TFtpProgress OnProgress;
    TFtpReadyToTransmit OnReadyToTransmit;
    // Raised once per connection after the TLS handshake, with the server's
    // certificate; Decision comes in as trust-once when it verified and as
    // refuse when it did not. A handler may pump messages (ask the user):
    // reply lines that arrive meanwhile wait. It must not destroy the engine.
    TFtpCertificateCheck OnCertificateCheck;

    // ---- starting operations ------------------------------------------------
    // Raise FtpException "FTP component not ready" unless State is ready or
    // between steps; single commands also "FTP component not connected",
    // sequences that open "FTP component already connected".
    virtual void SendCommand(std::string Cmd);
    virtual void BeginPort();
    virtual void BeginOpen();
    virtual void BeginUser();
    virtual void BeginPass();
    virtual void BeginLogin();
    virtual void BeginQuit();
    // Tears both connections down locally (no ABOR is sent).
    virtual void AbortSession();
    // Ends the running transfer as failed ("426 Operation aborted."), as an
    // abort from OnProgress does, even while no data arrives; the control
    // connection stays. Nothing when no data connection is open.
    void AbortTransfer();
    virtual void BeginRetrieve();
    virtual void StepRetr();
    virtual void BeginSessionRetrieve();
    virtual void BeginStore();
    virtual void StepStor();
    virtual void BeginSessionStore();
    virtual void BeginAppend();
    virtual void StepAppe();
    virtual void BeginSessionAppend();
    virtual void StepList();
    virtual void BeginList();
    virtual void StepNlst();
    virtual void BeginNameList();
    virtual void BeginTransferType();
    virtual void BeginTypeBinary();
    virtual void BeginTypeAscii();
    virtual void BeginPwd();
    virtual void BeginCwd();
    virtual void BeginCdup();
    virtual void BeginSessionList();
    virtual void BeginSessionNameList();
    virtual void BeginSyst();
    virtual void BeginSessionSyst();
    virtual void BeginSize();
    virtual void BeginSessionSize();
    virtual void BeginMkd();
    virtual void BeginSessionMkd();
    virtual void BeginRmd();
    virtual void BeginSessionRmd();
    virtual void BeginDele();
    virtual void BeginSessionDele();
    virtual void BeginRenameFrom();
    virtual void BeginRenameTo();
    virtual void BeginRename();
    virtual void BeginSessionRename();
    virtual void BeginQuote();
    virtual void BeginSessionQuote();
    virtual void BeginRest();
    virtual void BeginRestartRetrieve();
    virtual void BeginSessionRestartRetrieve();
    // MLSD into LocalFileName where FEAT lists MLST, else LIST as
    // BeginList does; ListedByMlsd says which came.
    void BeginMachineList();
    // MLST HostFileName (where FEAT lists MLST, else refused with 502
    // before anything is sent): RemoteEntry holds its facts.
    void BeginMachineFile();
    // MDTM HostFileName: RemoteFileTime.
    void BeginFileTime();
    // Sets HostFileName's modification time to FileTimeUtc: MFMT where FEAT
    // lists it, else SITE UTIME where FEAT lists that, else refused with 502
    // before anything is sent.
    void BeginSetFileTime();
    // NOOP: keeps an idle session alive (servers close idle connections);
    // 200 (or 250) succeeds, 421 and the server's close fail it.
    void BeginNoop();

protected:
    // A CR or LF inside an argument would end the command line early and let
    // the rest reach the server as a second command: throws FtpException.
    static void RefuseLineBreak(const char* Name, const std::string& Value);

    virtual void NotifyDisplay(const std::string& Msg);
    virtual bool NotifyReadyToTransmit();  // true: cancel
    virtual void NotifyDisplayFile(const std::string& Msg);
    // False when OnProgress asked to abort (the data connection is closed)
    // or destroyed the engine.
    virtual bool NotifyProgress();
    virtual void DisplayTransferStats();
    // Called for every reply line received: the server is alive.
    virtual void NotifyReplyLine() {}
    // While the control connection is being made: gives up on the address
    // being tried and goes on with the next of the host's addresses. False
    // (nothing done) when there is none left or nothing is being tried.
    bool TryNextAddress();

    // Expires when the engine is destroyed.
    std::weak_ptr<bool> AliveToken() const { return alive_; }
    // Counts ended requests: a waiter that saw it change knows its request
    // ended, even when a close by the server left the state between steps.
    std::uint32_t EndedRequests() const { return requestSerial_; }
    // A blocking wait started by a handler that was raised while reply lines
    // were being handled must see its own replies: it lifts the hold on
    // nested receives for its duration, and puts it back afterwards.
    bool LiftReplyHold() { return std::exchange(receiving_, false); }
    void RestoreReplyHold(bool Held) { receiving_ = Held; }
    // False when an OnStateChange handler destroyed the engine.
    bool SetState(TFtpState NewState);
    void SetStatusCode(int Value) { statusCode_ = Value; }
    // Completion of the current step: runs the next step of a sequence, or
    // ends the request and posts OnRequestDone.
    void FinishStep(std::uint16_t Error);

private:
    using Handler = void (TCustomFtpCli::*)();
    using StepSet = std::uint32_t;

    // control connection (FtpcliControl.cpp)
    void ControlDnsLookupDone(std::uint16_t Error);
    void ControlSessionConnected(std::uint16_t Error);
    void ControlConnectFailed(std::uint16_t Error);
    void ControlDataAvailable(std::uint16_t Error);
    // False when the server closed the connection or no room is left.
    bool ReceiveReplyBytes();
    // False when a handler destroyed the engine.
    bool HandleReplyLines(std::uint16_t Error);
    void ControlSessionClosed(std::uint16_t Error);
    bool MarkControlClosed(std::uint16_t Error);
    bool TransferEndAlreadyArrived() const;
    bool CloseLeftForTheTransferEnd();
    void CloseControl();
    void CloseForOverlongLine();
    void DispatchReplyLine(std::uint16_t Error);
    void GreetingLine(std::uint16_t Error);
    void RejectReplyCode();
    // A reply line no command asked for: logged; inside TLS it ends the
    // session, as it cannot be told from text slipped in by someone else.
    void UnexpectedReplyLine();
    std::string WinsockFailureLine(int Error) const;
    void HandleBufferedReplies(std::uint16_t Error);
    // TLS (FtpcliTls.cpp)
    void AfterGreeting();
    void SendSessionCommand(const std::string& Command, Handler Next);
    void AuthTlsReply();
    void StartControlTls();
    void ControlSslHandshakeDone(std::uint16_t Error);
    bool AcceptCertificate();
    void ProtectDataChannel();
    void PbszReply();
    void ProtReply();
    void DataClearAfterRefusal();
    void FailTls(const std::string& Line);
    // Bytes that came with the 234 or right behind it, before any TLS.
    bool HoldsBytesBeforeTls();
    void StartDataTls();
    void DataSslHandshakeDone(std::uint16_t Error);
    // addresses and proxy (FtpcliAddresses.cpp)
    void ConnectControlTo(std::size_t Index);
    bool PostNextAddress(std::uint16_t Error);
    void DropControlAttempt();
    void ApplyProxy(TWSocket& Socket) const;
    bool OpenThroughProxy();
    // facts and times (FtpcliFacts.cpp)
    void RefuseUnoffered(TFtpRequest Request, const std::string& Why);
    void MlstReply();
    // extended data commands (FtpcliExtended.cpp)
    bool UseEpsv() const;
    void BeginEpsv();
    void EpsvReply();
    std::string ActivePortCommand(int ListenPort);
    // features (FtpcliFeatures.cpp)
    void BeginFeat();
    void FeatReply();
    void OptsUtf8Reply();
    // OPTS MLST asking for UNIX.mode where the server offers the fact but
    // leaves it out by default; otherwise ends the features.
    void AskForModes();
    void OptsMlstReply();
    void EndFeatures();
    // commands (FtpcliCommands.cpp)
    struct SingleCommand;
    TFtpRequestParameters NextParameters() const;
    static const SingleCommand& Single(TFtpStep Step);
    void BeginSingle(TFtpStep Step);
    void ForgetRemoteFileSize();
    void ExecuteCommand(TFtpRequest Request, const std::string& Command, std::vector<int> Accepted, Handler Callback = nullptr);
    void CheckCanSend() const;
    void CommonReplyHandler();
    void ParseReplyResults();
    void QuitDone();
    // sequences (FtpcliSequence.cpp)
    void StartSequence(TFtpRequest Request, StepSet Steps);
    void CheckSequenceArguments(StepSet Steps, const TFtpRequestParameters& next) const;
    void NextStep();
    void RunStep(TFtpStep Step);
    void FailFromException(const std::exception& Error);
    // Ends the running request with a failure of our own making: Line as
    // the reply, Code as the result.
    void EndWithLocalFailure(int Code, const std::string& Line);
    // data connection (FtpcliData.cpp, FtpcliDownload.cpp, FtpcliUpload.cpp)
    void ResetDataSocket();
    bool PassivePort(int& PortNumber);
    bool ConnectPassive(int PortNumber);
    void FailDataConnection(const std::string& Line);
    void BindDataAccept(Handler Accept);
    platform::SocketHandle AcceptDataConnection();
    bool FromControlPeer(platform::SocketHandle Accepted);
    void StartDownload(TFtpRequest Request, const char* Command);
    void BeginTransferState();
    bool OpenDownloadFile();
    void DownloadSessionAvailable();
    void DownloadSessionConnected(std::uint16_t Error);
    void BindDownloadData();
    void DownloadDataAvailable();
    // One block from the data connection into the file; its size, or 0 or -1
    // when nothing came (the end, a failure, nothing waiting).
    int ReceiveBlock();
    int ReceiveBlockThroughPipe();
    bool WritePipeRest(int count);
    void FailLocalWrite();
    void FailReceive();
    void DownloadSessionClosed(std::uint16_t Error);
    void DownloadFirstReply();
    void DownloadSecondReply();
    // The end of a download's data connection cut short or shorter than
    // the size its 150 reply announced: a failure whatever the server says.
    void CheckDownloadEnd();
    void TryFinishTransfer(bool DataClosed);
    void DataEvent(const std::function<void()>& Body);
    bool StartLocalWrite();
    void FinishAfterDataFailure();
    void FailFirstTransferReply();
    void FailFinalTransferReply(const char* Shown);
    void CutDisplayLines(const char* Data, int Count);
    void StartUpload(bool Append);
    void FailUploadStart(const std::string& Line);
    // False when an OnStateChange handler destroyed the engine.
    bool SendUploadCommand();
    void UploadSessionAvailable();
    void UploadSessionConnected(std::uint16_t Error);
    void UploadSessionClosed(std::uint16_t Error);
    void UploadFirstReply();
    void UploadSecondReply();
    void SendNextBlock(std::uint16_t Error);
    bool ReadNextBlock();
    char* TransferBlock();
    int ReceiveBlockSize() const { return DataEncrypted() ? kTlsReceiveBlock : kReceiveBlock; }
    int SendBlockSize() const { return DataEncrypted() ? kTlsSendBlock : kSendBlock; }
    // Room for a block with its line ends converted.
    char* TextBlock();
    // The server was last told TYPE A (or nothing, which means A): line ends
    // are converted both ways.
    bool TextTransfer() const { return wireType_ == 'A'; }
    void FlushHeldLineEnd();
    void NoteQuotedType();
    void DiscardDataAvailable();
    void CloseLocalStream();
    void CloseDataSocket();
    void RecordLocalFailure(const std::string& Line);
    // What every ended request leaves behind: no local file open, no offset.
    void ReleaseTransfer();
    // shared
    void Display(const std::string& Msg) { NotifyDisplay(Msg); }
    void RecordFailure();
    // The failure ritual: `Line` stands as the reply, its text is kept when
    // it is the first failure, and the request's codes say `Code`.
    void SetFailure(int Code, const std::string& Line);
    // Shows the reply line being handled; true when it is the final line of
    // its reply and the request it answers is still running.
    bool TakeFinalReply();
    // Runs a socket event's work; an exception raised inside ends the running
    // request with a failure instead of escaping into the message loop.
    void Guarded(const std::function<void()>& Body);

    std::unique_ptr<platform::MessageWindow> window_;
    std::unique_ptr<TWSocket> controlSocket_;
    std::unique_ptr<TWSocket> dataSocket_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

    char typeChar_ = 'I';
    // The running request's parameters; its TypeArgument is typeChar_ when
    // the request started.
    TFtpRequestParameters request_;
    std::uint16_t shareFlags_ = 0x10;
    bool appendMode_ = false;
    std::uint32_t startTick_ = 0;
    std::uint32_t endTick_ = 0;
    TFtpState state_ = ftpStateReady;
    int statusCode_ = 0;
    int resultCode_ = 0;
    StepSet pendingSteps_ = 0;
    TFtpStep currentStep_ = TFtpStep::None;
    int sequenceError_ = 0;
    bool inSequence_ = false;
    std::unique_ptr<FtpLocalFile> localStream_;
    TFtpRequest requestType_ = ftpReqNone;
    bool doneSignalled_ = false;
    FtpReplyBuffer receiveBuffer_;
    std::string lastResponse_;
    std::string savedReply_;
    std::string savedPasvReply_;
    int savedStatusCode_ = -1;
    std::string errorMessage_;
    std::uint16_t dataCloseError_ = 0;
    std::string transferCommand_;
    bool controlConnected_ = false;
    // The block buffer of the running transfer, made on first use and freed
    // when the request ends.
    std::unique_ptr<char[]> transferBlock_;
    std::unique_ptr<char[]> textBlock_;
    // The bytes of an upload's block as they go on the wire, the part the
    // kernel has taken, and their end.
    const char* sendData_ = nullptr;
    int blockSent_ = 0;
    int blockEnd_ = 0;
    // The transfer type the server is in: 'A' from the log-in on, then what
    // the last accepted TYPE said.
    char wireType_ = 'A';
    FtpTextConverter text_;
    // A download into a file moves its bytes through this pipe, inside the
    // kernel, until something cannot go that way.
    std::unique_ptr<FtpPipe> pipe_;
    std::int64_t byteCount_ = 0;
    // The count OnProgress was last raised with.
    std::int64_t progressCount_ = -1;
    std::int64_t remoteFileSize_ = 0;
    std::string replyDirectory_;
    Handler fNext_ = nullptr;
    Handler stepCallback_ = nullptr;
    std::vector<int> acceptedCodes_;
    bool sequenceContinuation_ = false;
    bool finalReplyOk_ = false;
    bool receiveDataClosed_ = false;
    bool sendDataClosed_ = false;
    bool endOfFile_ = false;
    bool maySend_ = false;
    // The line in lastResponse_ ends its reply; the code of a multi-line
    // reply still open (0: none).
    bool lineFinal_ = false;
    int multiLineCode_ = 0;
    // Reply lines are being handled; a nested receive only buffers bytes,
    // and a close by the server waits until the lines are done.
    bool receiving_ = false;
    bool closePending_ = false;
    std::uint16_t closePendingError_ = 0;
    // The server said 226 and closed while the data's end was still to be
    // read: the close is handled when the transfer has ended.
    bool closeAfterTransfer_ = false;
    std::uint16_t closeAfterTransferError_ = 0;
    // The engine itself is closing the control connection.
    bool closingControl_ = false;
    // Counts ended requests, so a handler can tell that its request ended
    // while it pumped messages.
    std::uint32_t requestSerial_ = 0;
    // The running request moves data or set ResumeAt: its end resets it.
    bool transferRequest_ = false;
    std::int64_t resumedAt_ = 0;
    // Data socket events belong to the running transfer step.
    bool transferLive_ = false;
    bool transferCommandSent_ = false;
    // The data connection failed after the transfer command went out; its
    // reply is still awaited so that the next command's reply is its own.
    bool dataFailed_ = false;
    // A download from the start whose local file is not emptied yet: that
    // waits until the server accepts the transfer.
    bool pendingTruncate_ = false;
    // The server connected to the listening data socket before the transfer
    // step was ready to accept it.
    bool acceptPending_ = false;
    // A local failure (file write or read, abort from OnProgress, send
    // error) that must end the transfer as failed even when the server's
    // final reply says the transfer went well.
    std::string localFailure_;
    // PROT P was accepted: data connections are encrypted.
    bool dataProtected_ = false;
    // The server answered the transfer command with 125 or 150.
    bool transferAccepted_ = false;
    // The size a binary download's 150 reply announced ("(N bytes)"), or -1.
    std::int64_t announcedSize_ = -1;
    // The certificate accepted for the control connection; data connections
    // must show the same one.
    std::string controlCertificate_;
    FtpFeatures features_;
    // The host's addresses in the order they are tried, and the one being
    // tried; the switch to the next closes the control socket quietly.
    std::vector<std::string> addresses_;
    std::size_t addressIndex_ = 0;
    bool switchingAddress_ = false;
    bool nextAddressPosted_ = false;
    bool listedByMlsd_ = false;
    FtpRemoteEntry remoteEntry_;
    std::optional<std::int64_t> remoteFileTime_;
    // What the proxy said when it refused the control connection.
    std::string socksFailure_;
    // EPSV was refused once: PASV for the rest of the session.
    bool epsvRefused_ = false;
    bool utf8Names_ = false;
    // The log-in's reply, which callers read after the log-in: FEAT and OPTS
    // answered after it must not replace it.
    std::string loginReply_;
    int loginStatus_ = 0;
};

class TFtpClient : public TCustomFtpCli {
public:
    TFtpClient();

    int Timeout = 15;  // seconds of silence; 0 or less: no limit
    // Milliseconds of a monotonic clock at which the wait gives up.
    std::uint64_t Deadline = 0;
    bool MultiThreaded = false;

    // Runs a starting operation and waits; false when it raised (the
    // exception is swallowed), failed or timed out ("426 Timeout").
    template <typename Operation>
    bool RunAndWait(Operation&& Start) {
        const std::weak_ptr<bool> alive = AliveToken();
        try {
            Start();
        } catch (const std::exception& refused) {
            // A request refused on a live session (a name with a line break)
            // tells the caller why in ErrorMessage, as any failure does; on a
            // closed one there is nothing to add to the failure that closed it.
            if (ErrorMessage().empty() && Connected()) SetErrorMessage(refused.what());
            return false;
        } catch (...) {
            return false;
        }
        return !alive.expired() && WaitUntilReady();
    }
    // False also when a handler destroyed the engine while it waited.
    bool WaitUntilReady();

    bool Login() { return Run(&TCustomFtpCli::BeginLogin); }
    bool Cwd() { return Run(&TCustomFtpCli::BeginCwd); }
    bool Pwd() { return Run(&TCustomFtpCli::BeginPwd); }
    bool Cdup() { return Run(&TCustomFtpCli::BeginCdup); }
    bool TransferType() { return Run(&TCustomFtpCli::BeginTransferType); }
    bool Retrieve() { return Run(&TCustomFtpCli::BeginRetrieve); }
    bool Store() { return Run(&TCustomFtpCli::BeginStore); }
    bool Append() { return Run(&TCustomFtpCli::BeginAppend); }
    bool Quit() { return Run(&TCustomFtpCli::BeginQuit); }
    bool AbortSessionWait() { return Run(&TCustomFtpCli::AbortSession); }
    bool List() { return Run(&TCustomFtpCli::BeginList); }
    bool Mkd() { return Run(&TCustomFtpCli::BeginMkd); }
    bool Rename() { return Run(&TCustomFtpCli::BeginRename); }
    bool Dele() { return Run(&TCustomFtpCli::BeginDele); }
    bool Rmd() { return Run(&TCustomFtpCli::BeginRmd); }
    bool Size() { return Run(&TCustomFtpCli::BeginSize); }
    bool MachineList() { return Run(&TCustomFtpCli::BeginMachineList); }
    bool MachineFile() { return Run(&TCustomFtpCli::BeginMachineFile); }
    bool FileTime() { return Run(&TCustomFtpCli::BeginFileTime); }
    bool SetFileTime() { return Run(&TCustomFtpCli::BeginSetFileTime); }
    bool Noop() { return Run(&TCustomFtpCli::BeginNoop); }
    bool Quote() { return Run(&TCustomFtpCli::BeginQuote); }
    bool RestartRetrieve() { return Run(&TCustomFtpCli::BeginRestartRetrieve); }

protected:
    bool NotifyProgress() override;
    void NotifyReplyLine() override { PushDeadline(); }

private:
    void PushDeadline();
    bool Wait();
    bool Run(void (TCustomFtpCli::*Start)()) {
        return RunAndWait([this, Start] { (this->*Start)(); });
    }
};
