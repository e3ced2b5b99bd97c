#pragma once
// Plays a wave file without waiting for it to finish.

#include <string>

// False, and silence, when the file does not exist. A sound still playing is
// cut short by the next one.
bool PlayWaveFile(const std::string& path);

// Frees the player, first waiting (at most a second, processing events) for a
// sound that is still being loaded. Runs by itself when the application is
// about to quit; a program that ends without leaving its event loop (a test
// harness) calls it before destroying the application object.
void CloseWavePlayer();
