#include "tools/vftp/VftpOptions.h"

#include <map>

const char* const kVftpUsage =
    "usage: vftp [OPTIONS] COMMAND ARGS\n"
    "  ls URL          nls URL          size URL         pwd URL\n"
    "  get URL [LOCAL] (LOCAL '-' = standard output; default: the remote name in the current folder)\n"
    "  get URL... LOCALDIR/  (several files of one server over one connection)\n"
    "  put LOCAL URL   append LOCAL URL (URL ending in '/' = that folder, remote name = LOCAL's name)\n"
    "  put LOCAL... URL/     (several files into one remote folder over one connection)\n"
    "  mkdir URL       rmdir URL        rm URL           rm -r URL (a folder and all in it)\n"
    "  mv URL NEWNAME\n"
    "  mirror [-R] [--parallel N] [--delete] [--dry-run] [--only-newer | --size-only]\n"
    "         [-x PATTERN]... SOURCE TARGET\n"
    "                  makes TARGET like SOURCE, sending only what differs: SOURCE a URL of a\n"
    "                  remote folder and TARGET a local folder, or with -R the other way\n"
    "                  round; --delete removes what SOURCE does not have, --dry-run prints the\n"
    "                  plan only, -x leaves out names or paths matching PATTERN (shell style)\n"
    "  chmod MODE URL  quote URL 'RAW COMMAND'\n"
    "  profiles        (the names of the profiles saved in the window, one a line)\n"
    "URL: ftp://[USER[:PASSWORD]@]HOST[:PORT]/PATH  (percent-encoded; default user anonymous;\n"
    "     PATH is relative to the log-in folder, %2F at its start makes it absolute)\n"
    "  or ftps://...: the same over implicit TLS (TLS from the first byte, default port 990)\n"
    "  or @NAME/PATH: the window's saved profile NAME (any letter case; quote blanks for the\n"
    "     shell) gives host, port, user, password, passive mode and encryption; PATH as in a URL\n"
    "PASSWORD: other users of this machine can see a password given in the URL (process\n"
    "     list). Without one, vftp takes it from ~/.netrc (\"machine HOST login USER\n"
    "     password SECRET\"; the file must be private, chmod 600), and else asks for it\n"
    "     without echo when standard input is a terminal.\n"
    "OPTIONS: -p/--passive (default) | -a/--active, --ascii | --binary (default),\n"
    "         -c/--continue (resume a download from the local file's size),\n"
    "         -n/--netrc (the password from ~/.netrc even when the URL has one),\n"
    "         -t/--timeout SECONDS (default 30), -v/--verbose (FTP dialogue on standard error,\n"
    "         password masked), -q/--quiet (no progress bar), -h/--help, --version\n"
    "TLS:     --tls (explicit TLS required: AUTH TLS, nothing in clear), --tls-try (explicit\n"
    "         TLS when the server offers it, else plain), -k/--insecure (accept a certificate\n"
    "         that does not verify), --pin-sha256 PIN (accept exactly the certificate whose\n"
    "         public key has this SHA-256: 'sha256//BASE64' as curl's --pinnedpubkey, or the\n"
    "         certificate's SHA-256 fingerprint in hex; several separated by ';'),\n"
    "         --cacert FILE (also trust the authorities in this PEM file). Certificates are\n"
    "         verified against the system's CA store and the host name.\n"
    "PROXY:   --socks5 HOST[:PORT] (SOCKS 5 proxy for every connection, default port 1080;\n"
    "         the proxy looks the server's name up), --socks5-user USER[:PASSWORD]; without\n"
    "         --socks5, ALL_PROXY=socks5h://[USER[:PASSWORD]@]HOST[:PORT] (socks5:// looks\n"
    "         names up here). Data connections through a proxy are passive.\n"
    "TIMES:   --preserve (a download gets the server's modification time, an upload sends\n"
    "         the local one with MFMT or SITE UTIME where the server offers it); mirror\n"
    "         always keeps times\n"
    "IPv6:    ftp://[::1]:2121/ or a host name with IPv6 addresses; each address is tried\n"
    "         in turn, each with the time-out.\n"
    "Exit status: 0 success, 1 FTP or network failure, 2 usage error.\n";

namespace {

constexpr std::size_t kMany = 100000;

// Number of arguments each command takes: minimum and maximum.
const std::map<std::string, std::pair<std::size_t, std::size_t>>& CommandArity() {
    static const std::map<std::string, std::pair<std::size_t, std::size_t>> arity = {
        {"ls", {1, 1}},      {"nls", {1, 1}},    {"size", {1, 1}},  {"pwd", {1, 1}},      {"get", {1, kMany}},
        {"put", {2, kMany}}, {"append", {2, 2}}, {"mkdir", {1, 1}}, {"rmdir", {1, 1}},    {"rm", {1, 1}},
        {"mv", {2, 2}},      {"chmod", {2, 2}},  {"quote", {2, 2}}, {"profiles", {0, 0}}, {"mirror", {2, 2}},
    };
    return arity;
}

const char* ValueName(const std::string& option) {
    if (option == "--cacert") return "a file";
    if (option == "--socks5") return "a proxy HOST[:PORT]";
    if (option == "--socks5-user") return "USER[:PASSWORD]";
    return "a fingerprint";
}

std::string& ValueOf(const std::string& option, VftpOptions& options) {
    if (option == "--cacert") return options.caFile;
    if (option == "--socks5") return options.socks5;
    if (option == "--socks5-user") return options.socks5User;
    return options.pinSha256;
}

bool ParseTimeout(const std::string& text, int& seconds) {
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    seconds = std::stoi(text);
    return true;
}

// Applies one option; false with `error` set when it is unknown or malformed.
bool ApplyOption(const std::vector<std::string>& args, std::size_t& i, VftpOptions& options, std::string& error) {
    const std::string& arg = args[i];
    if (arg == "-p" || arg == "--passive" || arg == "-a" || arg == "--active") {
        options.passive = arg == "-p" || arg == "--passive";
        options.passiveGiven = true;
    } else if (arg == "-n" || arg == "--netrc")
        options.netrc = true;
    else if (arg == "--version")
        options.version = true;
    else if (arg == "--ascii")
        options.binary = false;
    else if (arg == "--binary")
        options.binary = true;
    else if (arg == "-c" || arg == "--continue")
        options.resume = true;
    else if (arg == "-v" || arg == "--verbose")
        options.verbose = true;
    else if (arg == "-q" || arg == "--quiet")
        options.quiet = true;
    else if (arg == "-h" || arg == "--help")
        options.help = true;
    else if (arg == "--tls")
        options.tls = true;
    else if (arg == "--tls-try")
        options.tlsTry = true;
    else if (arg == "-k" || arg == "--insecure")
        options.insecure = true;
    else if (arg == "--preserve")
        options.preserve = true;
    else if (arg == "-R")
        options.reverse = true;
    else if (arg == "-r" || arg == "--recursive")
        options.recursive = true;
    else if (arg == "--delete")
        options.deleteExtra = true;
    else if (arg == "--dry-run")
        options.dryRun = true;
    else if (arg == "--only-newer")
        options.onlyNewer = true;
    else if (arg == "--size-only")
        options.sizeOnly = true;
    else if (arg == "-x" || arg == "--exclude") {
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            error = "option " + arg + " needs a pattern";
            return false;
        }
        options.excludes.push_back(args[++i]);
    } else if (arg == "--parallel") {
        int count = 0;
        if (i + 1 >= args.size() || !ParseTimeout(args[i + 1], count) || count < 1 || count > 64) {
            error = "option --parallel needs a number of connections from 1 to 64";
            return false;
        }
        options.parallel = count;
        ++i;
    } else if (arg == "--pin-sha256" || arg == "--cacert" || arg == "--socks5" || arg == "--socks5-user") {
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            error = "option " + arg + " needs " + ValueName(arg);
            return false;
        }
        ValueOf(arg, options) = args[++i];
    } else if (arg == "-t" || arg == "--timeout") {
        if (i + 1 >= args.size() || !ParseTimeout(args[i + 1], options.timeoutSeconds)) {
            error = "option " + arg + " needs a number of seconds";
            return false;
        }
        ++i;
    } else {
        error = "unknown option " + arg;
        return false;
    }
    return true;
}

}  // namespace

std::optional<VftpOptions> ParseVftpOptions(const std::vector<std::string>& args, std::string& error) {
    VftpOptions options;
    std::vector<std::string> words;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (!ApplyOption(args, i, options, error)) return std::nullopt;
        } else {
            words.push_back(arg);
        }
    }
    if (options.help || options.version) return options;
    if (words.empty()) {
        error = "no command given";
        return std::nullopt;
    }
    options.command = words.front();
    options.arguments.assign(words.begin() + 1, words.end());
    const auto it = CommandArity().find(options.command);
    if (it == CommandArity().end()) {
        error = "unknown command '" + options.command + "'";
        return std::nullopt;
    }
    const auto [least, most] = it->second;
    if (options.arguments.size() < least || options.arguments.size() > most) {
        error = "wrong number of arguments for '" + options.command + "'";
        return std::nullopt;
    }
    if (options.onlyNewer && options.sizeOnly) {
        error = "--only-newer and --size-only exclude each other";
        return std::nullopt;
    }
    return options;
}
