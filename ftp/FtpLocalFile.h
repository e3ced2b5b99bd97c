#pragma once
// The local file of a transfer. Opening takes the engine's sharing flags and
// maps them onto advisory whole-file locks (flock), the nearest Linux has to
// share modes:
//   exclusive (0x10) and deny-read (0x30) -> exclusive lock
//   deny-write (0x20)                     -> shared lock (other readers may
//                                            share it, a writer's exclusive
//                                            lock is refused)
//   deny-none (0x40) and compatibility    -> no lock
// A lock held by someone else makes the open fail, as a sharing violation
// would. Locks are advisory: they bind programs that also lock.

#include <cstdint>
#include <memory>
#include <string>

class FtpLocalFile {
public:
    ~FtpLocalFile();
    FtpLocalFile(const FtpLocalFile&) = delete;
    FtpLocalFile& operator=(const FtpLocalFile&) = delete;

    // Creates or empties `path` (only after the lock is obtained, so a file
    // locked by another program is left intact). Null on failure.
    static std::unique_ptr<FtpLocalFile> Create(const std::string& path, std::uint16_t shareFlags);
    // Opens an existing file for writing at `offset`. Null on failure.
    static std::unique_ptr<FtpLocalFile> OpenForWrite(const std::string& path, std::uint16_t shareFlags, std::int64_t offset);
    // Opens an existing file for reading from `offset`. Null on failure.
    static std::unique_ptr<FtpLocalFile> OpenForRead(const std::string& path, std::uint16_t shareFlags, std::int64_t offset);

    // Writes every byte; false on any failure (disk full, file too large).
    bool WriteAll(const char* data, int count);
    // Up to `count` bytes; 0 at end of file, -1 on a read error.
    int Read(char* data, int count);
    // Closes the file; false when the system reports a failure on close
    // (delayed write errors surface there on some file systems).
    bool Close();

private:
    explicit FtpLocalFile(int fd) : fd_(fd) {}
    static std::unique_ptr<FtpLocalFile> Open(const std::string& path, int flags, std::uint16_t shareFlags);

    int fd_ = -1;
};

// Size of the file at `path` (following links); -1 when there is none.
std::int64_t GetLocalFileSize(const std::string& path);
