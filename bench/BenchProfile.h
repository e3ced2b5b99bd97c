#pragma once
// The one server profile a window benchmark connects with: a passive
// session to 127.0.0.1, written to the program's profile file.

#include <string>

void WriteBenchProfile(const std::string& name, int port, const std::string& user, const std::string& password);
