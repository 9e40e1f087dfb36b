// program.cpp: the program's name and version.
#include "base/program.h"

const char* const programName = "velkarra3d";
const char* const programVersion = VELKARRA_VERSION;
