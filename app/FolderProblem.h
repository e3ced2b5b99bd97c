#pragma once
// Why a folder the program needs for its own files cannot be used.

#include <string>

// One or two sentences naming the cause (a file standing where a folder
// belongs, a folder that cannot be written, ...), or empty when the folder
// exists and can be written, or could be created. Creates nothing.
std::string FolderProblem(const std::string& folder);
