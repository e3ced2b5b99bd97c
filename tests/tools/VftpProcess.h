#pragma once
// Runs the vftp executable as a user would, with a deadline, and collects
// its exit status and both output streams.

#include <string>
#include <vector>

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs vftp with `args` inside `folder`; a run that does not end within
// `seconds` is killed and reported with status -1.
Outcome RunVftp(const std::vector<std::string>& args, const std::string& folder, int seconds = 60);
