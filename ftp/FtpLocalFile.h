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

    // Opens `path` for a download from its start, creating it when missing,
    // but leaves its bytes alone: an existing file is emptied only by
    // Truncate(), once the server has accepted the transfer. Null on failure
    // (a file locked by another program is left intact).
    static std::unique_ptr<FtpLocalFile> OpenForDownload(const std::string& path, std::uint16_t shareFlags);
    // Opens an existing file for writing at `offset`. Null on failure.
    static std::unique_ptr<FtpLocalFile> OpenForWrite(const std::string& path, std::uint16_t shareFlags, std::int64_t offset);
    // Opens an existing file for reading from `offset`. Null on failure.
    static std::unique_ptr<FtpLocalFile> OpenForRead(const std::string& path, std::uint16_t shareFlags, std::int64_t offset);

    // Writes every byte; false on any failure (disk full, file too large).
    bool WriteAll(const char* data, int count);
    // Moves `count` bytes from the pipe `pipeFd` into the file at its
    // position (splice). Returns how many were moved: fewer than `count` only
    // on a failure, which is a failed write unless `unsupported` is set: the
    // file cannot take bytes this way, and the rest must be written plainly.
    int WriteFromPipe(int pipeFd, int count, bool& unsupported);
    // Up to `count` bytes; 0 at end of file, -1 on a read error.
    int Read(char* data, int count);
    // Empties the file (devices such as a terminal cannot be emptied and
    // need not be); false on failure.
    bool Truncate();
    // Closes the file; false when the system reports a failure on close
    // (delayed write errors surface there on some file systems).
    bool Close();
    // Closes the file and removes it again if OpenForDownload created it, so
    // that a download the server refused leaves no trace.
    void Discard();

private:
    explicit FtpLocalFile(int fd) : fd_(fd) {}
    static std::unique_ptr<FtpLocalFile> Open(const std::string& path, int flags, std::uint16_t shareFlags);

    int fd_ = -1;
    std::string createdPath_;  // set when this open created the file
};

// Size of the file at `path` (following links); -1 when there is none.
std::int64_t GetLocalFileSize(const std::string& path);
