#pragma once
// The window program's command line: velliant-ftp [--help | --version | LINK].
// Qt's own options (-platform, -style, ...) are taken by the application
// object before the rest is read.

#include <string>
#include <vector>

class TCommandLine {
public:
    enum class TAction { Run, Help, Version, Refuse };

    TAction Action = TAction::Run;
    std::string Link;   // an ftp:// or ftps:// link to open; empty for none
    std::string Error;  // why the line is refused

    // --help and --version anywhere win: they are answered before the
    // application object exists, as it needs a display.
    static TCommandLine Parse(const std::vector<std::string>& arguments);
    static std::string HelpText();
    static std::string VersionText();
};
