#pragma once
// A TLS session the server gave, kept so that a later connection to the
// same server can resume it.

struct ssl_session_st;

class TSslSession {
public:
    // Takes over the reference.
    explicit TSslSession(ssl_session_st* Session) : session_(Session) {}
    ~TSslSession();
    TSslSession(const TSslSession&) = delete;
    TSslSession& operator=(const TSslSession&) = delete;

    ssl_session_st* Handle() const { return session_; }

private:
    ssl_session_st* session_;
};
