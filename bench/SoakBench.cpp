// One engine, many faulty sessions: drives a single TFtpClient through the
// fault server of bench/soak.sh (which picks a fault for every session) and
// samples the process's resident memory and open descriptors, so that a
// leak per failed session shows as growth.
//
//   soak_engine PORT ITERATIONS FILE LOCAL-FOLDER
//
// Each iteration logs in, downloads FILE into LOCAL-FOLDER and uploads it
// back, with a one-second time-out. Prints one line per sample:
// "iteration rss_kib fds", then "outcomes ok=N failed=M".
#include <dirent.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "ftp/Ftpcli.h"

namespace {

long ResidentKib() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

int OpenDescriptors() {
    DIR* folder = opendir("/proc/self/fd");
    if (folder == nullptr) return -1;
    int count = 0;
    while (readdir(folder) != nullptr) ++count;
    closedir(folder);
    return count - 3;  // ".", ".." and the folder's own descriptor
}

// A session whatever its faults; true when both transfers went well.
bool OneSession(TFtpClient& ftp, const std::string& file, const std::string& local) {
    bool ok = ftp.Login();
    ftp.HostFileName = file;
    ftp.LocalFileName = local;
    ok = ok && ftp.Retrieve();
    ok = ok && ftp.Store();
    if (ftp.Connected()) (void)ftp.Quit();
    if (ftp.Connected()) (void)ftp.AbortSessionWait();
    ftp.SetErrorMessage("");
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: soak_engine PORT ITERATIONS FILE LOCAL-FOLDER\n");
        return 2;
    }
    TFtpClient ftp;
    ftp.HostName = "127.0.0.1";
    ftp.Port = argv[1];
    ftp.UserName = "soak";
    ftp.PassWord = "soak";
    ftp.Passive = true;
    ftp.Timeout = 1;
    const int iterations = std::atoi(argv[2]);
    const std::string local = std::string(argv[4]) + "/" + argv[3];
    int ok = 0;
    for (int i = 0; i < iterations; ++i) {
        if (i % 100 == 0) std::printf("%d %ld %d\n", i, ResidentKib(), OpenDescriptors());
        ok += OneSession(ftp, argv[3], local) ? 1 : 0;
    }
    std::printf("%d %ld %d\n", iterations, ResidentKib(), OpenDescriptors());
    std::printf("outcomes ok=%d failed=%d\n", ok, iterations - ok);
    return 0;
}
