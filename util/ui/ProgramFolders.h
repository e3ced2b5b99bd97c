#pragma once
// Where the program keeps its files. Both folders end with '/'.

#include <string>

// The per-user folder for files the program writes (the profile file, the
// private work folders); created with owner-only access when missing.
// Empty when it cannot be created.
std::string ProgramFolder();

// The folder ProgramFolder() stands for, whether or not it exists or can be
// created; empty only when the platform names no data location.
std::string ProgramFolderLocation();

// The folder of the files the program only reads (blip.wav, spin.gif, its
// icon): "resources" next to the executable, as the build tree lays them out,
// else "share/velliant-ftp" beside the executable's folder, as an install
// under any prefix lays them out. Never a path fixed when the program was
// built: an installed program must not show or use its build machine's
// folders. When neither holds the files, the install location.
std::string ProgramResourceFolder();

// ProgramResourceFolder() + name. A missing file is reported once on
// standard error, naming where it was looked for.
std::string ProgramResourceFile(const std::string& name);
