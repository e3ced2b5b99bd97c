#pragma once
// Temporary folders, environment overrides and an unprivileged runner for the
// helper tests.

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace utiltest {

inline constexpr uid_t kNobody = 65534;

// A fresh folder under the system temporary folder, removed with its contents.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vftp-util-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ignored;
        for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
            if (entry.is_directory(ignored) && !entry.is_symlink(ignored)) chmod(entry.path().c_str(), 0700);
        std::filesystem::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Sets (or with nullopt unsets) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) setenv(name, value->c_str(), 1);
        else unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_) setenv(name_, old_->c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// Runs one scope in the given time zone; the zone is re-read on both ends.
class ScopedZone {
public:
    explicit ScopedZone(const std::string& zone) : env_("TZ", zone) { tzset(); }

private:
    struct Reload {
        ~Reload() { tzset(); }
    } reload_;  // destroyed after env_ has put TZ back
    ScopedEnv env_;
};

// Permission checks mean nothing to root, so as root the tree is handed to
// "nobody" and the check runs in a child process with that identity.
inline bool RunUnprivileged(const std::string& tree, const std::function<bool()>& check) {
    if (geteuid() != 0) return check();
    (void)lchown(tree.c_str(), kNobody, kNobody);
    for (auto& entry : std::filesystem::recursive_directory_iterator(tree))
        (void)lchown(entry.path().c_str(), kNobody, kNobody);
    const pid_t child = fork();
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(2);
        _exit(check() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace utiltest
