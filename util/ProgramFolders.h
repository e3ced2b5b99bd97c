#pragma once
// Where the program keeps its files. Both results end with '/'.

#include <string>

// The per-user folder for files the program writes (the profile file, the
// private work folders); created with owner-only access when missing.
// Empty when it cannot be created.
std::string ProgramFolder();

// The folder ProgramFolder() stands for, whether or not it exists or can be
// created; empty only when the platform names no data location.
std::string ProgramFolderLocation();

// The folder of the files the program only reads (blip.wav): "resources"
// next to the executable, else the installed "share/velliant-ftp", else the
// source tree's "resources" for runs from the build tree.
std::string ProgramResourceFolder();
