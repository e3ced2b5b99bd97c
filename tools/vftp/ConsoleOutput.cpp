#include "tools/vftp/ConsoleOutput.h"

#include <cstdio>

bool PrintOut(const std::string& text) { return PrintOut(text.data(), text.size()); }

bool PrintOut(const char* data, std::size_t size) { return std::fwrite(data, 1, size, stdout) == size; }

bool FlushOut() { return std::fflush(stdout) == 0 && std::ferror(stdout) == 0; }

void PrintError(const std::string& text) { (void)std::fwrite(text.data(), 1, text.size(), stderr); }
