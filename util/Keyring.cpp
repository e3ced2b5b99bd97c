#include "util/Keyring.h"

#ifdef VFTP_WITH_LIBSECRET

#include <dlfcn.h>
#include <libsecret/secret.h>
#include <unistd.h>

#include <cstdlib>

#include "util/MiscUtils.h"

namespace {

// libsecret and the GLib under it are loaded on the first use of the
// keyring, not at start-up: most runs never touch it, and loading them
// with the program cost every run of vftp about 3 MiB of memory.
struct SecretLibrary {
    decltype(&secret_service_get_sync) serviceGet = nullptr;
    decltype(&secret_password_store_sync) store = nullptr;
    decltype(&secret_password_lookup_sync) lookup = nullptr;
    decltype(&secret_password_clear_sync) clear = nullptr;
    decltype(&secret_password_free) passwordFree = nullptr;
    decltype(&g_object_unref) objectUnref = nullptr;
    decltype(&g_error_free) errorFree = nullptr;
};

template <typename Function>
bool Bind(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

// Nothing when the library is not installed: the keyring is then as
// unavailable as without a running service.
const SecretLibrary* Secret() {
    static const SecretLibrary* const loaded = []() -> const SecretLibrary* {
        void* library = ::dlopen("libsecret-1.so.0", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) return nullptr;
        static SecretLibrary api;
        const bool bound =
            Bind(library, "secret_service_get_sync", api.serviceGet) && Bind(library, "secret_password_store_sync", api.store) &&
            Bind(library, "secret_password_lookup_sync", api.lookup) && Bind(library, "secret_password_clear_sync", api.clear) &&
            Bind(library, "secret_password_free", api.passwordFree) && Bind(library, "g_object_unref", api.objectUnref) &&
            Bind(library, "g_error_free", api.errorFree);
        return bound ? &api : nullptr;
    }();
    return loaded;
}

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
bool SessionBusReachable() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address != nullptr && *address != '\0') return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime != nullptr && *runtime != '\0' && ::access((std::string(runtime) + "/bus").c_str(), F_OK) == 0;
}

// A keyring to talk to: the library is there and so is a session bus.
bool SessionBusExists() { return SessionBusReachable() && Secret() != nullptr; }

std::string Take(GError* error) {
    std::string text = error != nullptr && error->message != nullptr ? error->message : "unknown error";
    if (error != nullptr) Secret()->errorFree(error);
    return text;
}

}  // namespace

bool TKeyring::Built() { return true; }

bool TKeyring::Available() {
    if (!SessionBusExists()) return false;
    GError* error = nullptr;
    // Opening a session is a call the service itself must answer; a bus with
    // no service on it fails here.
    SecretService* service = Secret()->serviceGet(SECRET_SERVICE_OPEN_SESSION, nullptr, &error);
    if (service == nullptr) {
        (void)Take(error);
        return false;
    }
    Secret()->objectUnref(service);
    return true;
}

bool TKeyring::Store(const TFTPServer& profile, std::string& error, TKeyringSecret secret) {
    if (!SessionBusReachable()) {
        error = "no session bus";
        return false;
    }
    if (Secret() == nullptr) {
        error = "the desktop keyring's library (libsecret-1.so.0) is not installed";
        return false;
    }
    const Account account(profile, secret);
    const std::string kind = secret == TKeyringSecret::Proxy ? "Velliant FTP proxy: " : "Velliant FTP: ";
    const std::string label = kind + account.user + "@" + account.host + ":" + account.port;
    GError* failure = nullptr;
    const gboolean stored =
        Secret()->store(Schema(secret), SECRET_COLLECTION_DEFAULT, label.c_str(), account.password.c_str(), nullptr, &failure,
                        "server", account.server.c_str(), "port", account.port.c_str(), "user", account.user.c_str(), nullptr);
    if (!stored) error = Take(failure);
    return stored;
}

std::optional<std::string> TKeyring::Lookup(const TFTPServer& profile, TKeyringSecret secret) {
    if (!SessionBusExists()) return std::nullopt;
    const Account account(profile, secret);
    GError* error = nullptr;
    gchar* password = Secret()->lookup(Schema(secret), nullptr, &error, "server", account.server.c_str(), "port",
                                       account.port.c_str(), "user", account.user.c_str(), nullptr);
    if (password == nullptr) {
        if (error != nullptr) (void)Take(error);
        return std::nullopt;
    }
    std::string text = password;
    Secret()->passwordFree(password);
    return text;
}

bool TKeyring::Clear(const TFTPServer& profile, TKeyringSecret secret) {
    if (!SessionBusExists()) return false;
    const Account account(profile, secret);
    GError* error = nullptr;
    (void)Secret()->clear(Schema(secret), nullptr, &error, "server", account.server.c_str(), "port", account.port.c_str(), "user",
                          account.user.c_str(), nullptr);
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
