#include "tests/support/PureFtpdServer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <random>

namespace {

std::string Program(const char* path) { return std::string(PureFtpdServer::kInstallDir) + path; }

}  // namespace

PureFtpdServer::PureFtpdServer() : FtpServerProcess("pure-ftpd", "tester", "s3cret", "wrong") {}

bool PureFtpdServer::Available() { return ::access(Program("/usr/sbin/pure-ftpd").c_str(), X_OK) == 0; }

// The virtual user's files belong to "nobody", which must reach the root.
bool PureFtpdServer::AddUser(const std::string& database) {
    ::chmod(Work().Path().c_str(), 0711);
    const std::string command = Program("/usr/bin/pure-pw") + " useradd " + User() + " -u 65534 -g 65534 -d " + Root() + " -f " +
                                Work().File("users.passwd") + " -m -F " + database + " >/dev/null 2>&1";
    FILE* pipe = ::popen(command.c_str(), "w");
    if (pipe == nullptr) return false;
    std::fprintf(pipe, "%s\n%s\n", Password().c_str(), Password().c_str());
    return ::pclose(pipe) == 0;
}

std::vector<std::string> PureFtpdServer::Prepare() {
    if (!Available()) {
        SetError("pure-ftpd: not unpacked in " + std::string(kInstallDir) + " (scripts/install-deps.sh does it)");
        return {};
    }
    const std::string database = Work().File("users.pdb");
    if (!AddUser(database)) {
        SetError("pure-ftpd: pure-pw could not create the user database");
        return {};
    }
    std::vector<std::string> command{Program("/usr/sbin/pure-ftpd"),
                                     "-S",
                                     Host() + "," + std::to_string(Port()),
                                     "-l",
                                     "puredb:" + database,
                                     "-E",
                                     "-A",
                                     "-H"};
    std::random_device seed;
    const int pasvLow = 30000 + static_cast<int>(seed() % 20000);
    command.insert(command.end(), {"-p", std::to_string(pasvLow) + ":" + std::to_string(pasvLow + 200)});
    if (Tls()) {
        // One file holds the certificate and its key; 3: TLS for log-in and data.
        const std::string pem = Work().File("certificate.pem");
        (void)WriteFile(pem, ReadFile(TlsCert()) + ReadFile(TlsKey()));
        ::chmod(pem.c_str(), 0600);
        command.insert(command.end(), {"-Y", "3", "-2", pem});
    }
    return command;
}
