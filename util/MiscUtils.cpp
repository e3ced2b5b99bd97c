#include "util/MiscUtils.h"
