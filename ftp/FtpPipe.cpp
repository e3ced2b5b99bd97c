#include "ftp/FtpPipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

FtpPipe::~FtpPipe() {
    for (const int fd : fds_)
        if (fd >= 0) ::close(fd);
}

std::unique_ptr<FtpPipe> FtpPipe::Open(int capacity) {
    std::unique_ptr<FtpPipe> pipe(new FtpPipe());
    if (::pipe2(pipe->fds_, O_CLOEXEC) != 0) return nullptr;
    // A user over the system's quota of pipe memory keeps the default size.
    (void)::fcntl(pipe->fds_[1], F_SETPIPE_SZ, capacity);
    const int size = ::fcntl(pipe->fds_[1], F_GETPIPE_SZ);
    if (size <= 0) return nullptr;
    pipe->capacity_ = size < capacity ? size : capacity;
    return pipe;
}

int FtpPipe::Read(char* data, int count) {
    for (;;) {
        const ssize_t got = ::read(fds_[0], data, static_cast<std::size_t>(count));
        if (got < 0 && errno == EINTR) continue;
        return got < 0 ? -1 : static_cast<int>(got);
    }
}
