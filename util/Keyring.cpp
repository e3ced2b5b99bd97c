#include "util/Keyring.h"

#ifdef VFTP_WITH_LIBSECRET

#include <libsecret/secret.h>
#include <unistd.h>

#include <cstdlib>

#include "util/MiscUtils.h"

namespace {

SecretSchema MakeSchema(const char* name) {
    SecretSchema s{};
    s.name = name;
    s.flags = SECRET_SCHEMA_NONE;
    s.attributes[0] = {"server", SECRET_SCHEMA_ATTRIBUTE_STRING};
    s.attributes[1] = {"port", SECRET_SCHEMA_ATTRIBUTE_STRING};
    s.attributes[2] = {"user", SECRET_SCHEMA_ATTRIBUTE_STRING};
    return s;
}

// A schema of its own for proxy passwords: a proxy on the same host, port
// and user as an FTP account must not take that account's entry.
const SecretSchema* Schema(TKeyringSecret secret) {
    static const SecretSchema server = MakeSchema("com.orvansoftware.velliant_ftp.Password");
    static const SecretSchema proxy = MakeSchema("com.orvansoftware.velliant_ftp.ProxyPassword");
    return secret == TKeyringSecret::Proxy ? &proxy : &server;
}

// Host names compare in any letter case; the entry is found whichever the
// profile holds.
struct Account {
    Account(const TFTPServer& profile, TKeyringSecret secret) {
        const bool proxy = secret == TKeyringSecret::Proxy;
        host = proxy ? profile.SocksHost : profile.Hostname;
        server = AsciiUpper(host);
        port = proxy ? profile.SocksPort : profile.Port;
        user = proxy ? profile.SocksUser : profile.Username;
        password = proxy ? profile.SocksPassword : profile.Password;
    }
    std::string host, server, port, user, password;
};

// A session bus that is there: named by the environment, or the user's bus
// socket. Without one GLib would start a bus of its own through the X
// display (and with it a keyring daemon) that outlives the program.
bool SessionBusExists() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address != nullptr && *address != '\0') return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime != nullptr && *runtime != '\0' && ::access((std::string(runtime) + "/bus").c_str(), F_OK) == 0;
}

std::string Take(GError* error) {
    std::string text = error != nullptr && error->message != nullptr ? error->message : "unknown error";
    if (error != nullptr) g_error_free(error);
    return text;
}

}  // namespace

bool TKeyring::Built() { return true; }

bool TKeyring::Available() {
    if (!SessionBusExists()) return false;
    GError* error = nullptr;
    // Opening a session is a call the service itself must answer; a bus with
    // no service on it fails here.
    SecretService* service = secret_service_get_sync(SECRET_SERVICE_OPEN_SESSION, nullptr, &error);
    if (service == nullptr) {
        (void)Take(error);
        return false;
    }
    g_object_unref(service);
    return true;
}

bool TKeyring::Store(const TFTPServer& profile, std::string& error, TKeyringSecret secret) {
    if (!SessionBusExists()) {
        error = "no session bus";
        return false;
    }
    const Account account(profile, secret);
    const std::string kind = secret == TKeyringSecret::Proxy ? "Velliant FTP proxy: " : "Velliant FTP: ";
    const std::string label = kind + account.user + "@" + account.host + ":" + account.port;
    GError* failure = nullptr;
    const gboolean stored = secret_password_store_sync(
        Schema(secret), SECRET_COLLECTION_DEFAULT, label.c_str(), account.password.c_str(), nullptr, &failure, "server",
        account.server.c_str(), "port", account.port.c_str(), "user", account.user.c_str(), nullptr);
    if (!stored) error = Take(failure);
    return stored;
}

std::optional<std::string> TKeyring::Lookup(const TFTPServer& profile, TKeyringSecret secret) {
    if (!SessionBusExists()) return std::nullopt;
    const Account account(profile, secret);
    GError* error = nullptr;
    gchar* password = secret_password_lookup_sync(Schema(secret), nullptr, &error, "server", account.server.c_str(), "port",
                                                  account.port.c_str(), "user", account.user.c_str(), nullptr);
    if (password == nullptr) {
        if (error != nullptr) (void)Take(error);
        return std::nullopt;
    }
    std::string text = password;
    secret_password_free(password);
    return text;
}

bool TKeyring::Clear(const TFTPServer& profile, TKeyringSecret secret) {
    if (!SessionBusExists()) return false;
    const Account account(profile, secret);
    GError* error = nullptr;
    (void)secret_password_clear_sync(Schema(secret), nullptr, &error, "server", account.server.c_str(), "port",
                                     account.port.c_str(), "user", account.user.c_str(), nullptr);
    if (error != nullptr) {
        (void)Take(error);
        return false;
    }
    return true;
}

#else

bool TKeyring::Built() { return false; }
bool TKeyring::Available() { return false; }
bool TKeyring::Store(const TFTPServer&, std::string& error, TKeyringSecret) {
    error = "built without the desktop keyring (libsecret)";
    return false;
}
std::optional<std::string> TKeyring::Lookup(const TFTPServer&, TKeyringSecret) { return std::nullopt; }
bool TKeyring::Clear(const TFTPServer&, TKeyringSecret) { return true; }

#endif
