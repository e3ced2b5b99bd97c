#pragma once
// Plays a wave file without waiting for it to finish.

#include <string>

// False, and silence, when the file does not exist. A sound still playing is
// cut short by the next one.
bool PlayWaveFile(const std::string& path);
