// program.h: the program's name and version, for --version and for the
// name that opens every message line.
#pragma once

extern const char* const programName;
extern const char* const programVersion;
