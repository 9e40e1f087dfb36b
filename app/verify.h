// verify.h: --verify-scores: every kept run of the score table replayed
// from its recording, headless and undrawn, and held against its entry.
#pragma once

#include <cstdio>

// Replays the recording of each entry of the table kept in folder (each
// in a process of its own, on the data set of the working folder) and
// prints one line per entry on out: its place, name, points and level, then
// "verified", "differs: the recording gives P points, level L", "cannot be
// replayed: WHY" or "no recording". Returns the exit status: 0 when no
// entry differs or fails, 1 otherwise (and for a table that cannot be read
// or has damaged lines, said on err).
int verifyScores(const char* folder, FILE* out, FILE* err);
