#pragma once
// Environment overrides and an unprivileged runner for the helper tests.

#include <grp.h>
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

// Sets (or with nullopt unsets) an environment variable for one scope; TZ
// changes take effect at once and are undone with the scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        Set(value);
    }
    ~ScopedEnv() { Set(old_); }

private:
    void Set(const std::optional<std::string>& value) {
        if (value)
            setenv(name_, value->c_str(), 1);
        else
            unsetenv(name_);
        tzset();
    }
    const char* name_;
    std::optional<std::string> old_;
};

// Permission checks mean nothing to root, so as root the tree is handed to
// "nobody" and the check runs in a child process with that identity.
inline bool RunUnprivileged(const std::string& tree, const std::function<bool()>& check) {
    if (geteuid() != 0) return check();
    (void)lchown(tree.c_str(), kNobody, kNobody);
    for (auto& entry : std::filesystem::recursive_directory_iterator(tree)) (void)lchown(entry.path().c_str(), kNobody, kNobody);
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
