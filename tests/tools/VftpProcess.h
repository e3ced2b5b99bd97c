#pragma once
// Runs the real vftp executable as a user would, with a deadline. Each run
// gets `home` as its $HOME and no XDG folders of the caller, so that it never
// reads the real user's ~/.netrc, profiles or settings.

#include <string>
#include <vector>

struct Outcome {
    int status = -1;  // exit status; -1 when killed at the deadline
    std::string out;
    std::string err;  // on a terminal: everything the terminal showed
};

// ALL_PROXY of the runs that follow; empty (the start): none, whatever the
// caller's environment holds.
void SetVftpAllProxy(const std::string& value);

// Standard input is /dev/null.
Outcome RunVftp(const std::vector<std::string>& args, const std::string& folder, const std::string& home, int seconds = 60);

// The same on a pseudo-terminal: once `prompt` has shown, `typed` and a line
// end are typed. `echoWasOn` tells whether the terminal echoed input at that
// moment.
Outcome RunVftpOnTerminal(const std::vector<std::string>& args, const std::string& folder, const std::string& home,
                          const std::string& prompt, const std::string& typed, bool* echoWasOn, int seconds = 60);
