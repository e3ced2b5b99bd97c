#pragma once
// The server side of TLS for the scripted FTP server: one connection's
// handshake and its records, on a blocking descriptor whose waits are
// bounded by socket time-outs. The certificate is the test set's "good" one,
// for 127.0.0.1; one context per program, so that data connections can
// resume the control connection's session as real servers let them.

#include <string>

struct ssl_st;

class ScriptedTls {
public:
    ScriptedTls() = default;
    ~ScriptedTls();
    ScriptedTls(const ScriptedTls&) = delete;
    ScriptedTls& operator=(const ScriptedTls&) = delete;

    // The server's handshake on `fd`; false (with Error()) when it failed.
    bool Accept(int fd);
    bool Active() const { return ssl_ != nullptr; }
    // Decrypted bytes wait inside, so the descriptor may look idle.
    bool HasPending() const;
    // Bytes read, 0 at the end of the stream, -1 on a failure.
    int Read(char* buffer, int size);
    bool Write(const std::string& bytes);
    // Sends close_notify: the end of the stream, as a well-behaved server ends it.
    void SendCloseNotify();
    // Forgets the connection without a word: what a cut looks like.
    void Drop();
    const std::string& Error() const { return error_; }

private:
    ssl_st* ssl_ = nullptr;
    std::string error_;
};
