// vftp: the command-line companion of Velliant FTP. One FTP request per call,
// for scripted site updates.
#include <string>
#include <vector>

#include "tools/vftp/ConsoleOutput.h"
#include "tools/vftp/VftpOptions.h"
#include "tools/vftp/VftpProfiles.h"
#include "tools/vftp/VftpRunner.h"
#include "util/ProgramVersion.h"
#include "util/WindowDataFiles.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = ParseVftpOptions(args, error);
    if (!options) {
        PrintError("vftp: " + error + "\n" + kVftpUsage);
        return 2;
    }
    if (options->help) {
        PrintOut(kVftpUsage);
        return 0;
    }
    if (options->version) {
        PrintOut(std::string("vftp (Velliant FTP) ") + ProgramVersion + "\n");
        return 0;
    }
    if (options->command == "profiles") {
        for (const std::string& name : VftpProfiles(WindowServerIniFile()).Names()) PrintOut(name + "\n");
        return 0;
    }
    return VftpRunner(*options).Run();
}
