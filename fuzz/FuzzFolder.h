#pragma once
// A private folder for the files a harness writes, made once per process on
// a memory file system when there is one (the profile file is flushed to
// disk on every save).

#include <string>

const std::string& FuzzFolder();
