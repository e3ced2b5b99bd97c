#pragma once
// vftp writes through C's standard streams, not the C++ ones: those bring
// the C++ locale machinery into the program, and with it about 0.2 MiB of
// memory on every run (bench/transfer.sh).

#include <cstddef>
#include <string>

// The text as it stands, on standard output (buffered as C buffers it);
// false when it could not be written.
bool PrintOut(const std::string& text);
bool PrintOut(const char* data, std::size_t size);
// False when what standard output holds could not be written.
bool FlushOut();
// The text as it stands, on standard error (unbuffered).
void PrintError(const std::string& text);
