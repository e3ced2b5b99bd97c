#include "util/ProgramVersion.h"

// VFTP_VERSION comes from the project's version in CMakeLists.txt, set on this
// file alone so that a new version recompiles nothing else.
const char ProgramVersion[] = VFTP_VERSION;
