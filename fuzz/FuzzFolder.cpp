#include "fuzz/FuzzFolder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

const std::string& FuzzFolder() {
    static const std::string folder = [] {
        std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm/vftp-fuzz-XXXXXX" : "/tmp/vftp-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("vftp fuzz: mkdtemp");
            std::abort();
        }
        return pattern;
    }();
    return folder;
}
