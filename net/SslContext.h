#pragma once
// The client side of TLS shared by the connections of a program: protocol
// versions, the CA store certificates are verified against, and the
// session bookkeeping that lets data connections resume the control
// connection's session.

#include <memory>
#include <string>

struct ssl_ctx_st;

class TSslContext {
public:
    // TLS 1.2 and later, the system's CA store.
    TSslContext();
    ~TSslContext();
    TSslContext(const TSslContext&) = delete;
    TSslContext& operator=(const TSslContext&) = delete;

    // One context for every socket that is given none.
    static const std::shared_ptr<TSslContext>& Shared();

    // Adds the certificates of a PEM file as trusted authorities; false
    // (with ErrorText) when it cannot be read.
    bool AddCaFile(const std::string& Path);
    const std::string& ErrorText() const { return errorText_; }

    ssl_ctx_st* Handle() const { return ctx_; }

private:
    void UseSystemAuthorities();

    ssl_ctx_st* ctx_;
    std::string errorText_;
};

// OpenSSL's text of the oldest error in this thread's queue, which is then
// emptied; Fallback when the queue holds none.
std::string SslQueueErrorText(const std::string& Fallback);
