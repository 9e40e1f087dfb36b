// scores.h: the table of the ten best runs, kept in the player's data
// folder as versioned text, and a run's entry in it.
//
// main prints the table for --scores and, for a run that counts (played in
// a window with the platform's own input), has keepRunScore run at the
// process's end, however the run ends (Y, Esc, the window closed). The run's
// score comes from its count (game/tally.h).
//
// The file, "scores" in the game's data folder (base/xdg.h):
//   # velkarra3d scores 1
//   POINTS LEVEL YYYY-MM-DD HH:MM NAME     best first, at most ten lines
// It is only ever replaced whole: written to a temporary file in the same
// folder, flushed and renamed over the old one, with a lock file held from
// the read to the rename so that two games ending at once both get in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>

constexpr int scoreTableSize = 10;
constexpr int scoreNameMax = 32;

struct ScoreEntry {
  int32_t points;
  int32_t level;
  char date[11];  // YYYY-MM-DD
  char time[6];   // HH:MM
  char name[scoreNameMax + 1];
};

struct ScoreTable {
  int count;
  ScoreEntry entries[scoreTableSize];  // best first
};

// Puts entry in its place: more points first, then the higher level, then
// the older entry. Returns its place from 1, or 0 when it does not make the
// table (which is then unchanged).
int insertScore(ScoreTable* table, const ScoreEntry& entry);

// Reads the file's text. False with "LINE: what is wrong" in why when it is
// not a table of this version; *newer is set when the file is of a later
// version (to be left alone rather than replaced).
bool parseScores(const char* text, size_t size, ScoreTable* table, bool* newer, char* why,
                 int whySize);

// The file's text for table; false if it does not fit in out.
bool formatScores(const ScoreTable& table, char* out, size_t size);

// FOLDER/scores for the usual folder; false when no folder can be named.
bool scoresFolder(char* out, size_t size);

// Adds entry to the table kept in folder (made when missing): takes the
// lock, reads, merges, writes and renames. Returns the entry's place (1 to
// 10), 0 when it does not make the table (the file is left untouched), or
// -1 after one line on `warnings` when the table cannot be kept; the old
// file then stays as it was. A file that cannot be read as a table is
// moved aside as scores.corrupt-YYYYMMDD-HHMMSS[-N] (said in one line) and
// a new table started.
int addScore(const char* folder, const ScoreEntry& entry, FILE* warnings);

// Prints the table kept in folder for --scores; a file that cannot be read
// gets one line on `warnings` and is left alone.
void printScores(const char* folder, FILE* out, FILE* warnings);

// This run's entry: the points banked at each level cleared plus those of
// the level in play, the highest level reached, the local date and time of
// `now` and the user's login name.
ScoreEntry runEntry(time_t now);

// Adds this run's entry to the usual table and, when it makes the table,
// says its place in one line on stdout. A run without points is not kept.
// Does the work once however often it is called; main hands it to atexit.
void keepRunScore();
