#include "app/CommandLine.h"

#include "util/ProgramVersion.h"

TCommandLine TCommandLine::Parse(const std::vector<std::string>& arguments) {
    TCommandLine line;
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") return TCommandLine{TAction::Help, {}, {}};
        if (argument == "--version") return TCommandLine{TAction::Version, {}, {}};
    }
    for (const std::string& argument : arguments) {
        if (line.Action == TAction::Refuse) break;
        if (argument.starts_with("-")) {
            line = TCommandLine{TAction::Refuse, {}, "unknown option " + argument};
        } else if (!line.Link.empty()) {
            line = TCommandLine{TAction::Refuse, {}, "only one link can be opened"};
        } else {
            line.Link = argument;
        }
    }
    return line;
}

std::string TCommandLine::HelpText() {
    return "Usage: velliant-ftp [LINK]\n"
           "Opens the Velliant FTP window: local files on the left, the server's folder\n"
           "on the right.\n"
           "\n"
           "  LINK          ftp://[USER[:PASSWORD]@]HOST[:PORT][/PATH], or ftps:// for\n"
           "                FTP over TLS: connects there and opens PATH (below the\n"
           "                log-in folder; %2F at its start for an absolute one).\n"
           "                Without a password in it, a saved profile's of that server\n"
           "                and user is used, else the window asks for it.\n"
           "  -h, --help    show this help and exit\n"
           "  --version     show the version and exit\n"
           "\n"
           "Qt's own options (-platform, -style, ...) are understood too.\n";
}

std::string TCommandLine::VersionText() { return std::string("velliant-ftp (Velliant FTP) ") + ProgramVersion + "\n"; }
