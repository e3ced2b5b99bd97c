#pragma once
// The program's version as the build names it, e.g. "0.1.0": shown by
// `vftp --version`, the about box and the package.

extern const char ProgramVersion[];
