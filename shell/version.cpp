// version.cpp: the program's name and version, for --version and messages.
#include "shell/options.h"

const char* const programName = "velkarra3d";
const char* const programVersion = VELKARRA_VERSION;
