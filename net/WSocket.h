#pragma once
// Event-driven sockets, IPv4 and (given IPv6 text as Addr) IPv6. A socket object owns one non-blocking handle and
// a hidden message window; the platform loop reports network events to that
// window and the object turns them into the events below. All events are
// raised on the thread that created the socket, either from the message loop
// or synchronously inside an operation. Any handler may close or destroy the
// socket that raised the event: the socket re-checks itself after each one.
//
// Class chain: TCustomWSocket (connect, listen, send queue, lookups)
//   -> TCustomSocksWSocket (optional SOCKS 5 negotiation)
//   -> TCustomSslWSocket   (optional TLS, as a client)
//   -> TCustomLineWSocket  (optional line mode)
//   -> TCustomSyncWSocket  (blocking-style waits that pump the loop)
//   -> TWSocket            (the concrete class).
// With no SOCKS server, no TLS and line mode off, TWSocket behaves as
// TCustomWSocket.
//
// Misuse raises ESocketException, or raises OnError instead when it is bound
// (the failing operation then returns its fallback, e.g. Send returns -1).
// Network failures never throw: they arrive as the Error argument of events.

#include <netinet/in.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "net/SslCertificateInfo.h"
#include "net/WSockbuf.h"
#include "platform/HostLookup.h"
#include "platform/MessageWindow.h"
#include "platform/Messages.h"
#include "platform/SocketErrors.h"
#include "platform/Winsock.h"

using platform::SocketErrorText;

class ESocketException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TSocketState {
    wsInvalidState,
    wsOpened,
    wsBound,
    wsConnecting,
    wsConnected,
    wsAccepting,
    wsListening,
    wsClosed,
};

enum TSocketSendFlags { wsSendNormal, wsSendUrgent };

enum TSocketLingerOnOff { wsLingerOff, wsLingerOn, wsLingerNoSet };

class TCustomWSocket;

using TDataAvailable = std::function<void(TCustomWSocket* Sender, std::uint16_t Error)>;
using TDataSent = std::function<void(TCustomWSocket* Sender, std::uint16_t Error)>;
using TSessionClosed = std::function<void(TCustomWSocket* Sender, std::uint16_t Error)>;
using TSessionAvailable = std::function<void(TCustomWSocket* Sender, std::uint16_t Error)>;
using TSessionConnected = std::function<void(TCustomWSocket* Sender, std::uint16_t Error)>;
using TDnsLookupDone = std::function<void(TCustomWSocket* Sender, std::uint16_t Error)>;
using TChangeState = std::function<void(TCustomWSocket* Sender, TSocketState OldState, TSocketState NewState)>;
using TNotifyEvent = std::function<void(TCustomWSocket* Sender)>;

// Messages of the hidden window.
inline constexpr std::uint32_t SocketEventMessage = platform::WM_USER + 1;
inline constexpr std::uint32_t LookupDoneMessage = platform::WM_USER + 2;
inline constexpr std::uint32_t ReverseLookupDoneMessage = platform::WM_USER + 3;
inline constexpr std::uint32_t LineRetriggerMessage = platform::WM_USER + 20;
inline constexpr std::uint32_t SslFailureMessage = platform::WM_USER + 21;

// Process-wide: whether the socket library is started, and how many socket
// objects are alive (it is cleaned up when the last one goes).
extern bool WinsockStarted;
extern int LiveSocketCount;

// Blocking resolvers used by Connect and Listen. They raise ESocketException
// on every failure ("WSocketResolveHost: Invalid Hostname.", ...).
std::uint32_t WSocketResolveHost(const std::string& InAddr);                          // network order
std::uint16_t WSocketResolvePort(const std::string& Port, const std::string& Proto);  // host order
int WSocketResolveProto(const std::string& Proto);

class TCustomWSocket : public platform::MessageTarget {
public:
    TCustomWSocket();
    ~TCustomWSocket() override;
    TCustomWSocket(const TCustomWSocket&) = delete;
    TCustomWSocket& operator=(const TCustomWSocket&) = delete;

    // Message dispatch of the hidden window: socket events, lookup answers.
    // Overrides handle their own messages and pass the rest down.
    platform::LParam HandleMessage(std::uint32_t Msg, platform::WParam wParam, platform::LParam lParam) override;

    // ---- properties -----------------------------------------------------
    const std::string& Addr() const { return addrStr_; }
    // Refused with "Cannot change Addr if not closed" unless closed or equal.
    void SetAddr(const std::string& Value);
    const std::string& Port() const { return portStr_; }
    // Refused with "Cannot change Port if not closed" unless closed or equal.
    virtual void SetPort(const std::string& Value);
    const std::string& Proto() const { return protoStr_; }
    // Refused with "Cannot change Proto if not closed" unless closed or equal.
    virtual void SetProto(const std::string& Value);

    const std::string& DnsResult() const { return dnsResult_; }
    const std::vector<std::string>& DnsResultList() const { return dnsResultList_; }
    // Every address of the last name lookup, IPv6 and IPv4, in the
    // resolver's order; a literal alone. DnsResult and DnsResultList
    // stay IPv4 only.
    const std::vector<std::string>& DnsResultAll() const { return dnsResultAll_; }
    TSocketState State() const { return state_; }
    std::int64_t ReadCount() const { return readCount_; }
    // Bytes waiting to be read (FIONREAD); -1 after reporting "ioctlSocket".
    virtual int RcvdCount();
    int LastError() const { return lastError_; }
    bool AllSent() const { return allSent_; }
    bool Paused() const { return paused_; }

    bool MultiThreaded() const { return multiThreaded_; }
    void SetMultiThreaded(bool Value) { multiThreaded_ = Value; }
    // "Invalid internal SendFlags" / "Invalid SendFlags" for unknown values.
    TSocketSendFlags SendFlags();
    void SetSendFlags(TSocketSendFlags Value);
    TSocketLingerOnOff LingerOnOff() const { return lingerOnOff_; }
    void SetLingerOnOff(TSocketLingerOnOff Value) { lingerOnOff_ = Value; }
    int LingerTimeout() const { return lingerTimeout_; }
    void SetLingerTimeout(int Value) { lingerTimeout_ = Value; }

    platform::SocketHandle SocketHandle() const { return hSocket_; }
    int SocketType() const { return socketType_; }  // SOCK_STREAM or SOCK_DGRAM
    int ProtocolNumber() const { return protoNumber_; }
    std::uint16_t PortNumber() const { return portNumber_; }
    // Remote address after Connect, local address for Listen, peer address
    // after Accept (all in network order).
    const sockaddr_in& SocketAddress() const { return sin_; }
    // Addr was IPv6 text ("::1", "[::1]"): the socket is of that family, and
    // SocketAddress6 holds what SocketAddress holds for IPv4.
    bool IsIPv6() const { return ipv6_; }
    const sockaddr_in6& SocketAddress6() const { return sin6_; }
    const std::deque<std::unique_ptr<TBuffer>>& SendQueue() const { return sendQueue_; }
    int SendBlockSize() const { return sendBlockSize_; }

    // ---- operations -----------------------------------------------------
    // Resolves Addr/Port/Proto (blocking) and starts the connection; the
    // outcome arrives as OnSessionConnected(Error). Misuse goes to ReportError.
    virtual void Connect();
    // Shuts sending down, closes, raises OnChangeState then OnSessionClosed(0)
    // before returning, and resets the defaults.
    virtual void Close();
    // Cancels any lookup, drops the send queue and closes without shutdown.
    virtual void AbortConnection();
    // Pumps messages until the send queue is drained or the handle is gone.
    virtual void FlushSendBuffer();
    // Pumps messages, delivering waiting data, until the peer has closed.
    virtual void WaitUntilClosed();
    // Binds to Addr:Port and listens (backlog 5); OnSessionAvailable reports
    // each pending connection.
    virtual void Listen();
    // One pending connection's handle (peer address into SocketAddress), or
    // kInvalidSocket after reporting the error.
    virtual platform::SocketHandle Accept();
    // Adopts a connected handle: State becomes wsConnected, no
    // OnSessionConnected.
    virtual void Dup(platform::SocketHandle NewHSocket);
    // Winsock shutdown (0 receive, 1 send, 2 both); the result is ignored.
    virtual void Shutdown(int How);

    // Queues the bytes and tries to send them. Returns Len (bytes accepted
    // into the queue), 0 for Len <= 0, -1 when not connected (after
    // reporting "Send" with 10057). OnDataSent never fires inside Send.
    virtual int Send(const void* Data, int Len);
    virtual int SendText(const std::string& Str);
    // Sends what the kernel takes of the bytes now and queues nothing, so
    // that a caller with its own block needs no second copy of it. Only on a
    // connected stream socket while nothing is queued (AllSent). Returns the
    // bytes taken: fewer than Len when the kernel would block, and OnDataSent
    // follows once it can take more; all of them, and OnDataSent follows from
    // the loop. -1 when it may not be used now (LastError 10057), or when the
    // connection failed: that is closed and reported as a failed Send is.
    virtual int TrySend(const void* Data, int Len);
    // One read: count, 0 when the peer has closed, -1 with LastError set
    // (10035 when nothing waits). Never reports.
    virtual int Receive(void* Buffer, int BufferSize);
    // Moves up to Count received bytes into the pipe PipeFd (splice), so that
    // they reach a file without passing through the process. As Receive: the
    // count, 0 when the peer has closed, -1 with LastError (10035 when
    // nothing waits). -1 with 10045 while this object holds received bytes
    // of its own (a proxy's leftovers, held lines, bytes a handler left):
    // those come from Receive first.
    int ReceiveToPipe(int PipeFd, int Count);
    // Everything RcvdCount reports, in one read; empty when nothing waits.
    virtual std::string ReceiveText();
    virtual int ReceiveFrom(void* Buffer, int BufferSize, sockaddr_in& From, socklen_t& FromLen);

    // Dotted text is answered inside the call; names by a later
    // OnDnsLookupDone. An empty name reports "DNS lookup: invalid host name.".
    virtual void StartDnsLookup(const std::string& HostName);
    virtual void StartReverseDnsLookup(const std::string& HostAddr);
    // Cancels a pending lookup; OnDnsLookupDone(10004) follows at once.
    virtual void CancelLookup();

    virtual std::string PeerAddressText();  // "error" unless connected
    virtual int PeerSocketAddress(sockaddr_in& Addr, socklen_t& AddrLen);
    virtual std::string LocalPortText();  // "error" unless bound/connected/listening
    // The local address of an open handle as numeric text, either family;
    // empty without one.
    std::string LocalAddressText();
    virtual int LocalSocketAddress(sockaddr_in& Addr, socklen_t& AddrLen);
    // SO_LINGER from LingerOnOff/LingerTimeout; nothing for wsLingerNoSet.
    void ApplyLinger();
    // Stops (and restarts) the delivery of socket events for this handle.
    virtual int PauseEvents();
    virtual int ResumeEvents();
    // Dispatches every message waiting in this thread's queue, then returns.
    static void PumpMessages();

    // ---- events (first argument: the sender) ------------------------------
    TSessionAvailable OnSessionAvailable;
    TSessionConnected OnSessionConnected;
    TSessionClosed OnSessionClosed;
    TChangeState OnChangeState;
    TDataAvailable OnDataAvailable;
    TDataSent OnDataSent;
    TDnsLookupDone OnDnsLookupDone;
    TNotifyEvent OnError;

protected:
    // Back to the state of a fresh socket (see the .cpp for the list).
    // Overrides call the base first.
    virtual void ResetToDefaults();
    // Body of Close and AbortConnection: optional Shutdown(1), close the
    // handle, wsClosed, OnSessionClosed(Error) once, ResetToDefaults.
    virtual void CloseConnection(bool ShutdownFirst, std::uint16_t Error);
    // Datagram Connect: binds to any address, port 0.
    virtual void BindLocal();
    // One send of queued bytes to the handle (sendto for datagrams).
    virtual int RawSend(const void* Data, int Len);
    // printf-style ReportError.
    virtual void ReportErrorFmt(const char* Format, ...) __attribute__((format(printf, 2, 3)));
    // OnError when bound (then returns), else throws ESocketException(Msg).
    virtual void ReportError(const std::string& Msg);
    // Each Notify* raises its event if bound. NotifyDataAvailable returns
    // whether a handler consumed the notification (false: nobody bound, the
    // caller discards the data).
    virtual bool NotifyDataAvailable(std::uint16_t Error);
    virtual void NotifySessionAvailable(std::uint16_t Error);
    virtual void NotifySessionConnected(std::uint16_t Error);
    virtual void NotifySessionClosed(std::uint16_t Error);
    virtual void NotifyDataSent(std::uint16_t Error);
    virtual void NotifyChangeState(TSocketState OldState, TSocketState NewState);
    virtual void NotifyDnsLookupDone(std::uint16_t Error);
    virtual void NotifyError();
    // One read from the handle; line mode and SOCKS leftovers override it.
    virtual int RawReceive(void* Buffer, int BufferSize);
    // Received bytes held above the handle, which RawReceive serves first.
    virtual bool HoldsReceivedBytes() const { return !stalled_.empty(); }
    // Bytes a layer has already taken off the handle and can still hand out
    // (decrypted or waiting to be): the receive loop goes on while a layer
    // holds such bytes, as no notification would come for them.
    virtual bool HoldsDecodedBytes() const { return false; }

    // "Error <code> in function <label>\r\n<text>"; 10054/10057 also close
    // the handle (no OnSessionClosed, no reset). Stores LastError.
    void ReportSocketError(const std::string& Label);
    void SetState(TSocketState NewState);
    void SetLastError(int Code) { lastError_ = Code; }
    // Capacity of the queue's blocks from the next block on (0 or less:
    // TBuffer's default).
    void SetSendBlockSize(int Size) { sendBlockSize_ = Size > 0 ? Size : TBuffer::kDefaultSize; }
    void TryToSend();
    // A write notice (FD_WRITE) from the loop, as after a send that took
    // everything; one at a time.
    void PostWriteNotice();
    void AppendToSendBuffer(const void* Data, int Len);
    void ClearSendBuffer();
    // Raises OnDataAvailable while data waits. Bounded (a read notification):
    // stops after about 1 MiB, the rest comes with the next notification;
    // unbounded (the peer's close): drains everything first.
    void ReceiveLoop(std::uint16_t Error, bool Bounded = false);
    bool PortAssigned() const { return portAssigned_; }
    bool AddrAssigned() const { return addrAssigned_; }
    bool ProtoAssigned() const { return protoAssigned_; }
    bool PortResolved() const { return portResolved_; }
    bool AddrResolved() const { return addrResolved_; }
    sockaddr_in& MutableSocketAddress() { return sin_; }
    void SetPortNumber(std::uint16_t Value) { portNumber_ = Value; }
    // Marks the address and port of SocketAddress as final, so that Connect
    // does not resolve Addr/Port into it (a proxy connection sets them).
    void SetAddrResolved(bool Value) { addrResolved_ = Value; }
    void SetPortResolved(bool Value) { portResolved_ = Value; }
    void SetCloseReported(bool Value) { closeReported_ = Value; }
    bool CloseReported() const { return closeReported_; }
    void AddReadCount(int Count) { readCount_ += Count; }
    // Set at the start of the destructor; events that only make sense for a
    // living socket are not raised once it is set.
    bool Destroying() const { return destroying_; }
    void SetDestroying() { destroying_ = true; }
    // A token that expires when this object is destroyed: copy it before
    // raising an event, and stop if it has expired afterwards.
    std::weak_ptr<bool> AliveToken() const { return alive_; }
    platform::MessageWindow& Window() { return *window_; }

private:
    void HandleSocketEvent(platform::WParam Handle, platform::LParam Events);
    void HandleLookupDone(platform::WParam Task, platform::LParam Result, bool Reverse);
    bool StartLookupCommon(const std::string& Name);
    void ResolveForConnect();
    platform::SocketHandle NewHandle() const;
    const sockaddr* TargetAddress(socklen_t& Length) const;
    bool OpenStreamOptions();
    void SendErrorClose(int Error);
    int SendUntilBlocked(const char* Data, int Len);
    static bool ClosesOnSendError(int Error);
    bool NothingQueued() const;
    void NoteTaken(int Count, int Asked);
    void PostReadNotice();
    bool DiscardWaiting();
    void PumpOnce();
    bool CloseHandleRetrying();
    bool ApplyLingerChecked();
    bool AcceptTextProperty(const std::string& Value, std::string& Stored, bool Assigned, const char* Name);
    int WaitingBytes(bool& Ok);
    void HoldStalledBytes();

    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::unique_ptr<platform::MessageWindow> window_;
    platform::SocketHandle hSocket_ = platform::kInvalidSocket;
    int socketType_ = 0;
    int protoNumber_ = 6;
    std::deque<std::unique_ptr<TBuffer>> sendQueue_;
    int sendBlockSize_ = TBuffer::kDefaultSize;
    int sendFlags_ = 0;
    int lastError_ = 0;
    bool paused_ = false;
    TSocketLingerOnOff lingerOnOff_ = wsLingerOn;
    int lingerTimeout_ = 0;
    bool allSent_ = true;
    std::int64_t readCount_ = 0;
    bool closeReported_ = false;
    bool destroying_ = false;
    platform::LookupHandle lookupHandle_ = 0;
    std::string dnsResult_;
    std::vector<std::string> dnsResultList_;
    std::vector<std::string> dnsResultAll_;
    std::string addrStr_;
    std::string portStr_;
    std::string protoStr_ = "tcp";
    bool addrAssigned_ = false;
    bool portAssigned_ = false;
    bool protoAssigned_ = true;
    bool addrResolved_ = false;
    bool portResolved_ = false;
    bool protoResolved_ = false;
    std::uint16_t portNumber_ = 0;
    bool multiThreaded_ = false;
    TSocketState state_ = wsClosed;
    sockaddr_in sin_{};
    sockaddr_in6 sin6_{};
    bool ipv6_ = false;
    // Bytes taken off the handle after an OnDataAvailable handler returned
    // without reading: served first by RawReceive (see ReceiveLoop).
    std::string stalled_;
    // Bytes ever taken off the handle or out of stalled_, and whether the
    // last stream read found the handle empty (see ReceiveLoop).
    std::uint64_t taken_ = 0;
    bool drained_ = false;
    // The handle for which a self-posted write or read notice is still queued.
    platform::SocketHandle writeNoticeFor_ = platform::kInvalidSocket;
    platform::SocketHandle readNoticeFor_ = platform::kInvalidSocket;
};

// ---- SOCKS 5 -----------------------------------------------------------------

enum TSocksState { SocksIdle, SocksAwaitMethod, SocksAwaitAuth, SocksAwaitConnect };
enum TSocksAuthentication { socksNoAuthentication, socksAuthenticateUsercode };
enum TSocksAuthState { socksAuthBegun, socksAuthAccepted, socksAuthRefused, socksAuthSkipped };

using TSocksErrorEvent = std::function<void(TCustomWSocket* Sender, int Error, const std::string& Msg)>;
using TSocksAuthStateEvent = std::function<void(TCustomWSocket* Sender, TSocksAuthState AuthState)>;

// When SocksServer is set, Connect reaches Addr:Port through that SOCKS 5
// proxy; OnSessionConnected(0) is raised only once the proxy has connected
// the target. Every negotiation failure is reported as OnSocksError, then
// OnSessionConnected(code), then OnSessionClosed(code). SocksServer and
// SocksPort are cleared by every close.
class TCustomSocksWSocket : public TCustomWSocket {
public:
    TCustomSocksWSocket();

    const std::string& SocksServer() const { return socksServer_; }
    // "Can't change socks server if not closed" unless closed.
    virtual void SetSocksServer(const std::string& Value);
    const std::string& SocksPort() const { return socksPort_; }
    // "Can't change socks port if not closed" unless closed.
    virtual void SetSocksPort(const std::string& Value);
    const std::string& SocksUsercode() const { return socksUsercode_; }
    void SetSocksUsercode(const std::string& Value) { socksUsercode_ = Value; }
    const std::string& SocksPassword() const { return socksPassword_; }
    void SetSocksPassword(const std::string& Value) { socksPassword_ = Value; }
    TSocksAuthentication SocksAuthentication() const { return socksAuthentication_; }
    void SetSocksAuthentication(TSocksAuthentication Value) { socksAuthentication_ = Value; }
    const std::string& ProxyBoundAddress() const { return boundAddr_; }
    const std::string& ProxyBoundPort() const { return boundPort_; }
    TSocksState SocksState() const { return socksState_; }

    // Through a proxy: "tcp is the only protocol supported thru socks server"
    // for other protocols; refuses credentials or an Addr too long for the
    // protocol's one-byte length fields before anything is sent.
    void Connect() override;
    // "listening is not supported thru socks server" while a proxy is set.
    void Listen() override;
    // Bytes left over from the CONNECT reply first, then the socket's.
    int RcvdCount() override;

    TSessionConnected OnSocksConnected;
    TSocksErrorEvent OnSocksError;
    TSocksAuthStateEvent OnSocksAuthState;

protected:
    void ResetToDefaults() override;
    bool NotifyDataAvailable(std::uint16_t Error) override;
    void NotifySessionConnected(std::uint16_t Error) override;
    void NotifySessionClosed(std::uint16_t Error) override;
    int RawReceive(void* Buffer, int BufferSize) override;
    bool HoldsReceivedBytes() const override { return rcvdCnt_ > 0 || TCustomWSocket::HoldsReceivedBytes(); }
    // Raise OnSocksConnected / OnSocksError if bound.
    virtual void NotifySocksConnected(std::uint16_t Error);
    virtual void NotifySocksError(int Error, const std::string& Msg);

private:
    void SocksError(int Error, const std::string& Msg);
    void NotifyAuthState(TSocksAuthState AuthState);
    void SendSocksRequest(const std::vector<std::uint8_t>& Request);
    void SocksDoAuthenticate();
    void SocksDoConnect();
    bool GatherReply();
    bool HandleMethodReply();
    bool HandleAuthReply();
    bool HandleConnectReply();
    bool FinishConnect(int ReplyLength);
    std::string ValidateSocksRequest() const;

    TSocksState socksState_ = SocksIdle;
    std::string socksServer_;
    std::string socksPort_;
    bool socksServerAssigned_ = false;
    bool socksPortAssigned_ = false;
    std::string socksUsercode_;
    std::string socksPassword_;
    TSocksAuthentication socksAuthentication_ = socksNoAuthentication;
    int authMethod_ = 0;
    std::string boundAddr_;
    std::string boundPort_;
    // Large enough for the longest CONNECT reply (a 255-byte name).
    std::uint8_t rcvBuf_[512] = {};
    int rcvCnt_ = 0;
    int rcvdCnt_ = 0;  // leftover application bytes after the CONNECT reply
    int rcvdPtr_ = 0;
};

// ---- TLS -----------------------------------------------------------------------

struct ssl_st;
struct bio_st;
struct ssl_session_st;
class TSslContext;
class TSslSession;

enum TSslState { sslNone, sslHandshaking, sslEstablished, sslShuttingDown };

using TSslHandshakeDone = std::function<void(TCustomWSocket* Sender, std::uint16_t Error)>;

// Error numbers of the TLS layer; SslErrorText says what went wrong.
inline constexpr int SslHandshakeFailed = 20101;
inline constexpr int SslConnectionFailed = 20102;

// StartSslHandshake turns a connected socket (a control connection after
// AUTH TLS, an implicit-TLS connection, a data connection) into a TLS client
// connection: from then on Send, TrySend and Receive carry plain bytes and
// the wire carries records. No thread and no blocking call: the handshake is
// driven by the socket's read notifications.
//
// Until the handshake is done no OnDataAvailable or OnDataSent reaches the
// handlers, Send holds the bytes and TrySend takes none. Then
// OnSslHandshakeDone(0) is raised, followed by a write notice (OnDataSent)
// from the loop and OnDataAvailable for anything that came along. A failed
// handshake raises OnSslHandshakeDone(code) and closes the socket
// (OnSessionClosed(code)); SslErrorText holds the reason.
//
// The certificate is not judged here: SslPeerCertificate says whether it
// verified against the context's CA store and the server name, and the
// caller decides. Close sends close_notify first; when sent bytes are still
// queued then, the close completes from the loop once they have gone, so
// that the peer gets every byte and a clean end (a second Close does not
// wait). The peer's close_notify ends the stream like a closed connection:
// Receive returns 0, and the socket closes from the loop (OnSessionClosed(0)).
// ReceiveToPipe is refused (10045): records must be decrypted here.
class TCustomSslWSocket : public TCustomSocksWSocket {
public:
    TCustomSslWSocket();
    ~TCustomSslWSocket() override;

    platform::LParam HandleMessage(std::uint32_t Msg, platform::WParam wParam, platform::LParam lParam) override;

    // The shared client context (system CA store) unless set.
    void SetSslContext(std::shared_ptr<TSslContext> Context) { sslContext_ = std::move(Context); }
    const std::shared_ptr<TSslContext>& SslContext();
    // Sent as SNI (names only) and checked against the certificate (names
    // and dotted addresses). Cleared by every close.
    void SetSslServerName(const std::string& Name) { sslServerName_ = Name; }
    const std::string& SslServerName() const { return sslServerName_; }
    // A session of an earlier connection to the same server, offered for
    // resumption (FTP servers may insist that data connections resume the
    // control connection's). Cleared by every close.
    void SetSslSession(std::shared_ptr<TSslSession> Session) { offeredSession_ = std::move(Session); }
    // The last session the server gave on this connection (null before its
    // handshake).
    const std::shared_ptr<TSslSession>& SslSession() const { return sslSession_; }

    // "StartSslHandshake: not connected" / "TLS already started" as misuse.
    void StartSslHandshake();
    TSslState SslState() const { return sslState_; }
    bool SslEstablished() const { return sslState_ == sslEstablished; }
    // After the handshake: "TLSv1.3", "TLS_AES_256_GCM_SHA384", resumption.
    std::string SslVersion() const;
    std::string SslCipher() const;
    bool SslSessionReused() const;
    const TSslCertificateInfo& SslPeerCertificate() const { return peerCertificate_; }
    const std::string& SslErrorText() const { return sslErrorText_; }
    // The peer ended its stream with close_notify since the last handshake
    // began; a stream that ended without it may have been cut short.
    bool SslCloseNotifyReceived() const { return closeNotifyReceived_; }
    // Close waits, after close_notify and the end of sending, until the
    // peer has closed its side too (reading and dropping what it still
    // sends), so that the kernel never answers a late record of the peer
    // (session tickets of a slow server) with a reset that could cost the
    // peer the end of an upload. A second Close does not wait. Cleared by
    // every close.
    void SetSslAwaitPeerClose(bool Value) { awaitPeerClose_ = Value; }

    int Send(const void* Data, int Len) override;
    int TrySend(const void* Data, int Len) override;
    void Close() override;
    int RcvdCount() override;

    TSslHandshakeDone OnSslHandshakeDone;

    // OpenSSL's new-session callback: keeps the session on its socket.
    static int KeepNewSession(ssl_st* Ssl, ssl_session_st* Session);
    // The record reader's read from the handle (the socket's own read,
    // below TLS); notes the peer's end.
    static int ReadForRecords(TCustomSslWSocket& Socket, char* Buffer, int Length);

protected:
    void ResetToDefaults() override;
    bool NotifyDataAvailable(std::uint16_t Error) override;
    void NotifyDataSent(std::uint16_t Error) override;
    int RawReceive(void* Buffer, int BufferSize) override;
    bool HoldsReceivedBytes() const override;
    bool HoldsDecodedBytes() const override;
    virtual void NotifySslHandshakeDone(std::uint16_t Error);

private:
    bool CreateSsl();
    void FreeSsl();
    void ContinueHandshake();
    void FinishHandshake();
    bio_st* NewHandleBio();
    int DiscardFromHandle();
    int ReadPlain(char* Buffer, int BufferSize);
    // False when the socket was closed or destroyed meanwhile.
    bool FlushRecords();
    bool EncryptAndSend(const void* Data, int Len);
    void FailSsl(int Code, const std::string& Text);
    void CloseDrained();
    void AwaitPeerClose();
    void DrainUntilPeerCloses();
    void PostPeerClose();

    std::shared_ptr<TSslContext> sslContext_;
    ssl_st* ssl_ = nullptr;
    bio_st* readBio_ = nullptr;
    bio_st* writeBio_ = nullptr;
    TSslState sslState_ = sslNone;
    std::string sslServerName_;
    std::shared_ptr<TSslSession> offeredSession_;
    std::shared_ptr<TSslSession> sslSession_;
    TSslCertificateInfo peerCertificate_;
    std::string sslErrorText_;
    // Plain bytes sent while the handshake runs.
    std::string heldPlain_;
    // A close in steps: the queue drains, then (SslAwaitPeerClose) the
    // peer's end of the connection is awaited.
    enum TSslCloseStage { sslCloseNone, sslCloseFlushing, sslCloseAwaitingPeer };
    TSslCloseStage closeStage_ = sslCloseNone;
    bool peerClosed_ = false;
    bool awaitPeerClose_ = false;
    // A broken record was met while reading: the connection is closed from
    // the loop, not under the reader.
    bool failurePosted_ = false;
    bool closeNotifyPosted_ = false;
    bool closeNotifyReceived_ = false;
};

// ---- line mode ---------------------------------------------------------------

// While LineMode is on, OnDataAvailable is raised once per complete line
// (ending with LineEnd, CR LF by default) and Receive returns that line.
// A last line without LineEnd is delivered before OnSessionClosed.
class TCustomLineWSocket : public TCustomSslWSocket {
public:
    TCustomLineWSocket();

    platform::LParam HandleMessage(std::uint32_t Msg, platform::WParam wParam, platform::LParam lParam) override;

    bool LineMode() const { return lineMode_; }
    // Switching while bytes are held re-delivers them, under the new mode,
    // from the message loop.
    virtual void SetLineMode(bool Value);
    const std::string& LineEnd() const { return lineEnd_; }
    void SetLineEnd(const std::string& Value) { lineEnd_ = Value; }
    int LineLength() const { return lineLength_; }
    int LineBufferCount() const { return end_ - head_; }

protected:
    void ResetToDefaults() override;
    bool NotifyDataAvailable(std::uint16_t Error) override;
    void NotifySessionClosed(std::uint16_t Error) override;
    int RawReceive(void* Buffer, int BufferSize) override;
    bool HoldsReceivedBytes() const override { return Held() > 0 || TCustomSslWSocket::HoldsReceivedBytes(); }

private:
    // Held bytes are [head_, end_) of lineBuffer_; a pending line is the
    // first lineLength_ of them. Reads advance head_ instead of moving bytes,
    // and the buffer is compacted once per arrival.
    void DeliverHeldLines(int SearchFrom);
    bool DeliverPendingLine();
    void DeliverHeldRaw();
    int FindLineEnd(int SearchFrom) const;
    void Compact();
    void FreeLineBuffer();
    int Held() const { return end_ - head_; }
    int TakeHeld(void* Buffer, int Count);

    std::vector<char> lineBuffer_;
    int head_ = 0;
    int end_ = 0;
    std::string lineEnd_ = "\r\n";
    bool lineMode_ = false;
    int lineLength_ = 0;
};

// ---- synchronous waits ---------------------------------------------------------

inline constexpr int WaitTimedOut = 12001;

class TCustomSyncWSocket : public TCustomLineWSocket {
public:
    TCustomSyncWSocket();

    // Milliseconds; 0 (the default) means no limit.
    int WaitTimeout() const { return waitTimeout_; }
    void SetWaitTimeout(int Value) { waitTimeout_ = Value; }

    // Clears Flag, calls Proc if set, then WaitUntilDone(Flag).
    virtual int CallAndWait(const std::function<void()>& Proc, bool& Flag);
    // Pumps this thread's messages until Flag is true (0), or until the
    // application terminates or WaitTimeout passes (12001). Sleeps in the
    // loop's wait, never spins.
    virtual int WaitUntilDone(bool& Flag);

private:
    int waitTimeout_ = 0;
    std::uint32_t timeStop_ = 0;
};

class TWSocket : public TCustomSyncWSocket {
public:
    TWSocket() = default;
};
