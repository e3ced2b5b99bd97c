#pragma once
// What the queue and the walkers need of a server connection: one logged-in
// session that runs one operation at a time. Every operation returns at once
// and reports through its callback, which is raised from the message loop,
// never from inside the call that started it. The FTP engine implements it
// today (TFtpTransferConnection); another protocol plugs in beside it.
//
// Remote paths are absolute ("/site/a.html") once HomeFolder() is known,
// else relative to the folder the server put the session in.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "transfer/RemoteEntry.h"

struct TTransferResult {
    int code = 0;  // 0 success; else a reply code or a socket error number
    std::string text;
    // The session is gone (closed by the server, reset, timed out): the
    // next operation needs a new log-in.
    bool connectionLost = false;

    bool Ok() const { return code == 0; }
    // Worth another attempt: the network failed, or the server said "not
    // now" (4xx). A 5xx on a live session fails for good.
    bool Transient() const { return code != 0 && (connectionLost || (code >= 400 && code < 500) || code >= 10000); }
};

using TTransferCallback = std::function<void(const TTransferResult&)>;
using TListCallback = std::function<void(const TTransferResult&, std::vector<TRemoteEntry>)>;
using TStatCallback = std::function<void(const TTransferResult&, std::optional<TRemoteEntry>)>;

enum class TTransferMode { Binary, Text };

class TTransferConnection {
public:
    virtual ~TTransferConnection() = default;

    // Opens and logs in, then learns the home folder.
    virtual void Connect(TTransferCallback done) = 0;
    // Ends the session politely; `done` also when it was not open.
    virtual void Disconnect(TTransferCallback done) = 0;
    virtual void List(const std::string& folder, TListCallback done) = 0;
    // Downloads into `local`; resumeAt > 0 keeps that many bytes of it.
    virtual void Get(const std::string& remote, const std::string& local, std::int64_t resumeAt, TTransferCallback done) = 0;
    // resumeAt > 0 appends the local file from that offset on.
    virtual void Put(const std::string& local, const std::string& remote, std::int64_t resumeAt, TTransferCallback done) = 0;
    virtual void MakeFolder(const std::string& path, TTransferCallback done) = 0;
    virtual void Delete(const std::string& path, bool folder, TTransferCallback done) = 0;
    virtual void Rename(const std::string& from, const std::string& to, TTransferCallback done) = 0;
    virtual void Stat(const std::string& path, TStatCallback done) = 0;
    // Gives a remote file the modify time `utc` (seconds, UTC), so that the
    // next comparison finds it equal to the local file it came from.
    virtual void SetModifyTime(const std::string& path, std::int64_t utc, TTransferCallback done) = 0;
    // Once connected: the server offers a way to set a file's time.
    virtual bool CanSetModifyTime() const = 0;
    // Applies to the transfers that follow; the server hears of it only when
    // a transfer needs a mode it is not in.
    virtual void SetMode(TTransferMode mode) = 0;

    virtual bool Connected() const = 0;
    virtual bool Idle() const = 0;
    virtual const std::string& HomeFolder() const = 0;
    // Ends an operation that has been silent for longer than the time-out
    // as a lost connection; the owner's loop calls it now and then.
    virtual void CheckTimeout() = 0;

    // Bytes moved so far by the running transfer.
    std::function<void(std::int64_t bytes)> OnProgress;
};
