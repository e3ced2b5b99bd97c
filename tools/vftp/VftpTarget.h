#pragma once
// The remote end of one vftp call. Its argument is an ftp:// URL or
// "@NAME/PATH", NAME being a profile saved by the window (matched ignoring
// case, the longest name that fits when names hold '/'); PATH is
// percent-encoded and relative to the log-in folder, as in a URL.
//
// A password comes from the URL or the profile; when neither has one, from
// ~/.netrc (an entry for the host, and for the user when one is named, which
// may also supply the user), and when there is still none for a named user,
// from the user at the terminal. Forcing netrc takes the password from
// ~/.netrc even when the URL has one, and fails without a fitting entry.

#include <functional>
#include <optional>
#include <string>

#include "tools/vftp/FtpUrl.h"
#include "util/FTPServerObj.h"

struct VftpTarget {
    FtpUrl url;
    std::optional<bool> passive;                // a profile's choice: passive only for "Yes"
    std::optional<TEncryptionMode> encryption;  // a profile's choice
    std::optional<TFTPServer> profile;          // the profile itself, for its proxy
};

class VftpTargetResolver {
public:
    VftpTargetResolver();

    bool forceNetrc = false;
    std::string netrcPath;
    // The window's profile file; asked only for an "@" argument.
    std::function<std::string()> profileFile;
    // Asks the user; nothing when no one can be asked.
    std::function<std::optional<std::string>(const std::string& prompt)> askPassword;

    // Nothing on failure: Error() says why (never showing a password), and
    // ShowUsage() whether the argument was malformed rather than unknown.
    std::optional<VftpTarget> Resolve(const std::string& argument);
    const std::string& Error() const { return error_; }
    bool ShowUsage() const { return showUsage_; }

private:
    // `nameAndPath` is what follows "@": a profile's name (which may hold
    // slashes; the longest saved name wins), then an optional "/PATH".
    bool FromProfile(const std::string& nameAndPath, VftpTarget& target);
    bool FillPassword(FtpUrl& url);
    bool FromNetrc(FtpUrl& url, bool required);
    bool Fail(const std::string& text);

    std::string error_;
    bool showUsage_ = false;
};
