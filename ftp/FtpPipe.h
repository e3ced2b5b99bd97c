#pragma once
// A pipe that carries a download's bytes from the data connection to the
// local file inside the kernel (splice), so that a binary download needs no
// block buffer in the process and one copy fewer.

#include <memory>

class FtpPipe {
public:
    ~FtpPipe();
    FtpPipe(const FtpPipe&) = delete;
    FtpPipe& operator=(const FtpPipe&) = delete;

    // A pipe that holds up to `capacity` bytes where the system allows it
    // (less otherwise: see Capacity). Null when no pipe can be made.
    static std::unique_ptr<FtpPipe> Open(int capacity);

    int ReadEnd() const { return fds_[0]; }
    int WriteEnd() const { return fds_[1]; }
    int Capacity() const { return capacity_; }
    // Reads up to `count` bytes still in the pipe; -1 on failure.
    int Read(char* data, int count);

private:
    FtpPipe() = default;

    int fds_[2] = {-1, -1};
    int capacity_ = 0;
};
