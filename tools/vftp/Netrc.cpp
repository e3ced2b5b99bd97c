#include "tools/vftp/Netrc.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

class NetrcLexer {
public:
    explicit NetrcLexer(const std::string& text) : text_(text) {}

    // The next token; nothing at the end of the text.
    std::optional<std::string> Next() {
        SkipBlanks();
        if (pos_ >= text_.size()) return std::nullopt;
        if (text_[pos_] == '"') return Quoted();
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !IsBlank(text_[pos_])) ++pos_;
        return text_.substr(start, pos_ - start);
    }
    void SkipLine() {
        const auto end = text_.find('\n', pos_);
        pos_ = end == std::string::npos ? text_.size() : end + 1;
    }
    // A macro's body: the lines after its name, up to and including the
    // first empty line.
    void SkipMacro() {
        SkipLine();
        while (pos_ < text_.size()) {
            const bool empty = text_[pos_] == '\n' || text_.compare(pos_, 2, "\r\n") == 0;
            SkipLine();
            if (empty) return;
        }
    }

private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    void SkipBlanks() {
        while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    }
    std::string Quoted() {
        std::string token;
        for (++pos_; pos_ < text_.size() && text_[pos_] != '"'; ++pos_) {
            if (text_[pos_] == '\\' && pos_ + 1 < text_.size()) ++pos_;
            token += text_[pos_];
        }
        ++pos_;  // the closing quotation mark
        return token;
    }

    const std::string& text_;
    std::size_t pos_ = 0;
};

bool SameHost(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
               return lower(x) == lower(y);
           });
}

std::string RefusalText(const std::string& path, const std::string& reason) {
    return path + " " + reason + "; vftp does not use it";
}

}  // namespace

std::vector<NetrcEntry> ParseNetrc(const std::string& text) {
    std::vector<NetrcEntry> entries;
    NetrcLexer lexer(text);
    while (const auto token = lexer.Next()) {
        if (*token == "machine" || *token == "default") {
            entries.push_back({});
            if (*token == "machine") entries.back().machine = lexer.Next().value_or("");
        } else if (*token == "login" || *token == "password") {
            const auto value = lexer.Next();
            if (!entries.empty() && value) (*token == "login" ? entries.back().login : entries.back().password) = *value;
        } else if (*token == "account") {
            (void)lexer.Next();
        } else if (*token == "macdef") {
            lexer.SkipMacro();
        } else if ((*token)[0] == '#') {
            lexer.SkipLine();
        }
    }
    return entries;
}

const NetrcEntry* FindNetrcEntry(const std::vector<NetrcEntry>& entries, const std::string& host,
                                 const std::optional<std::string>& login) {
    auto fits = [&login](const NetrcEntry& e) { return !login || !e.login || *e.login == *login; };
    for (const bool wantDefault : {false, true}) {
        for (const NetrcEntry& entry : entries) {
            const bool isDefault = entry.machine.empty();
            if (isDefault == wantDefault && (isDefault || SameHost(entry.machine, host)) && fits(entry)) return &entry;
        }
    }
    return nullptr;
}

NetrcFile LoadNetrc(const std::string& path) {
    NetrcFile file;
    // O_NONBLOCK: opening a FIFO put in its place would otherwise wait for
    // a writer that never comes; its type is refused below.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno != ENOENT) {
            file.status = NetrcStatus::Refused;
            file.error = RefusalText(path, std::string("cannot be read: ") + std::strerror(errno));
        }
        return file;
    }
    // Checked on the open file itself, so that it cannot change in between.
    struct stat info {};
    std::string reason;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        reason = "is not a regular file";
    else if (info.st_uid != geteuid())
        reason = "belongs to another user";
    else if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        reason = "can be read or changed by other users (make it private: chmod 600 " + path + ")";
    std::string text;
    char buffer[4096];
    for (ssize_t n; reason.empty() && (n = read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
            reason = std::string("cannot be read: ") + std::strerror(errno);
        else
            text.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    if (!reason.empty()) {
        file.status = NetrcStatus::Refused;
        file.error = RefusalText(path, reason);
        return file;
    }
    file.status = NetrcStatus::Loaded;
    file.entries = ParseNetrc(text);
    return file;
}

std::string DefaultNetrcPath() {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        const passwd* user = getpwuid(getuid());
        home = user != nullptr ? user->pw_dir : "";
    }
    return std::string(home) + "/.netrc";
}
