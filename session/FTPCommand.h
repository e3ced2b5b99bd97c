#pragma once
// One request of the main window to the FTP server, waiting in the session's
// command queue. Not to be confused with the engine's TFtpCommand event type.

#include <cstdint>
#include <functional>
#include <string>

#include "ftp/Ftpcli.h"

// Kind numbers are also the queue entry's key text; 3, 6, 15 and 17 are not
// used. cmdNoop is the keep-alive of an idle session.
enum TFTPCommandKind : std::int32_t {
    cmdConnect = 1,
    cmdQuit = 2,
    cmdList = 4,
    cmdPrintDir = 5,
    cmdChangeDir = 7,
    cmdDeleteFile = 8,
    cmdRemoveDir = 9,
    cmdRename = 10,
    cmdMakeDir = 11,
    cmdDownload = 12,
    cmdUpload = 13,
    cmdParentDir = 14,
    cmdSetType = 16,
    cmdQuote = 18,
    cmdFileSize = 19,
    cmdNoop = 20,
    cmdFileTime = 21,
};

class TFTPCommand {
public:
    std::int32_t Kind = 0;
    bool WaitForResult = true;
    // The engine operation in its waiting form (true: ended without error)
    // and in its starting form; both bound to the session's engine.
    std::function<bool()> WaitingOperation;
    std::function<void()> StartingOperation;
    std::string HostName;
    std::string Port;
    std::string UserName;
    std::string PassWord;
    std::string HostFileName;
    std::string LocalFileName;  // listing file, transfer source or target
    std::string RenameTo;
    bool Passive = false;
    // A listing by MLSD where the server offers it, else by LIST.
    bool MachineListing = true;
    TFtpEncryption Encryption = ftpTlsNone;
    // The profile's SOCKS 5 proxy (empty host: none).
    std::string SocksHost;
    std::string SocksPort;
    std::string SocksUser;
    std::string SocksPassword;
    std::string HostDirName;
    std::string QuoteText;
    bool Binary = false;
    std::int64_t ExpectedSize = 0;
    std::int64_t ResumeAt = 0;
};
