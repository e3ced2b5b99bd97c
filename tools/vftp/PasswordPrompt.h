#pragma once
// Asking the user for a password on the terminal.

#include <optional>
#include <string>

// When standard input is a terminal: shows `prompt` on the terminal (or on
// standard error when the terminal cannot be opened for writing), reads one
// line from standard input with echo turned off, and turns echo back on,
// also when the user interrupts with a signal. Nothing when standard input
// is no terminal or ends before a line was typed.
std::optional<std::string> AskPassword(const std::string& prompt);
