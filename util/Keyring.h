#pragma once
// The desktop keyring (a Secret Service, through libsecret): the place where
// profile passwords may live instead of the profile file. One entry per
// server account (host, port, user), so the window and vftp find the same
// one. Without libsecret at build time, or without a running service, every
// call reports the keyring as unavailable and the profile file is used.
//
// Calls block until the service answers (D-Bus; the service may ask the
// user to unlock the keyring).

#include <optional>
#include <string>

#include "util/FTPServerObj.h"

// Which of a profile's passwords a call is about.
enum class TKeyringSecret { Server, Proxy };

class TKeyring {
public:
    // The program was built with libsecret.
    static bool Built();
    // A Secret Service answers on the session bus.
    static bool Available();
    // Keeps the profile's password; false with `error` set when it could not.
    static bool Store(const TFTPServer& profile, std::string& error, TKeyringSecret secret = TKeyringSecret::Server);
    // The password kept for the profile's account; nothing when there is
    // none or the keyring cannot be reached.
    static std::optional<std::string> Lookup(const TFTPServer& profile, TKeyringSecret secret = TKeyringSecret::Server);
    // Forgets the account's password; true when none is kept any longer.
    static bool Clear(const TFTPServer& profile, TKeyringSecret secret = TKeyringSecret::Server);
};
