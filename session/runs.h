// runs.h: the runs folder beside the score table, where a run that the
// table counts is recorded as it is played, compressed, and kept while the
// table names it (session/scores.h).
//
// main claims a file here for a run that keeps its score and hands it to
// the recorder (session/replay.h); the run's end keeps it or removes it
// through keepScore. A recording that a killed or crashed run left behind
// is removed by the next run that starts, unless the table names it. The
// file of a run still in play is locked (flock) until its process ends, so
// that another game starting meanwhile leaves it alone.
#pragma once

#include <cstddef>
#include <cstdio>
#include <ctime>

// The kept recordings' names end so, and nothing else in the folder is
// ever removed.
constexpr const char* runFileSuffix = ".v3drec.gz";

// Creates a new file in runsFolder (made when missing), named for the time
// `now` (YYYYMMDD-HHMMSS.v3drec.gz, then -1, -2, ... before the suffix when
// the name is taken), and locks it for the rest of the process. Its name
// goes to name; returns a descriptor to write it through (the lock stays
// when that one is closed), or -1 with errno set.
int claimRunFile(const char* runsFolder, time_t now, char* name, size_t size);

// Removes every *.v3drec.gz of the runs folder beside the table kept in
// folder that the table does not name and no running game holds, saying
// nothing unless a removal fails. Nothing is removed while the table cannot
// be read whole. Returns the number removed.
int removeOrphanRuns(const char* folder, FILE* warnings);

// The recording of entry `place` (from 1) of the table kept in folder: its
// path in the runs folder. False with one line in why when the table holds
// no such entry, the entry has no recording, or its file is not there.
// What --watch-score and the High scores screen watch.
bool scoreRecording(const char* folder, int place, char* path, size_t size, char* why, int whySize);
