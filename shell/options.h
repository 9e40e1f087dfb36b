#pragma once
extern const char* const programName;
extern const char* const programVersion;
