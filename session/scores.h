// scores.h: the table of the ten best runs, kept in the player's data
// folder as versioned text, and a run's entry in it.
//
// main prints the table for --scores and, for a run that counts (played in
// a window with the platform's own input), has keepRunScore run at the
// process's end, however the run ends (Y, Esc, the window closed). The run's
// score comes from its count (game/tally.h).
//
// The file, "scores" in the game's data folder (base/xdg.h):
//   # velkarra3d scores 2
//   POINTS LEVEL YYYY-MM-DD HH:MM RECORDING NAME     best first, at most ten lines
// RECORDING is the file name of the run's recording in the runs folder, or
// '-' for none; NAME, the rest of the line, is the player's name (spaces
// inside it are its own). Version 1 tables (POINTS LEVEL YYYY-MM-DD HH:MM
// LOGIN) read as before, the login name as the name, and are written anew
// as version 2. A damaged line is left out, not the table: the good lines
// are read, and the next write keeps them (the damaged file is first kept
// aside once). The file is only ever replaced whole: written to a temporary
// file in the same folder, flushed and renamed over the old one, with a
// lock file held from the read to the rename so that two games ending at
// once both get in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>

constexpr int scoreTableSize = 10;
constexpr int scoreNameMax = 32;
constexpr int scoreRecordingMax = 63;

struct ScoreEntry {
  int32_t points;
  int32_t level;
  char date[11];                // YYYY-MM-DD
  char time[6];                 // HH:MM
  char name[scoreNameMax + 1];  // printable ASCII, no blank at either end
  // The run's recording: a file name (letters, digits, '.', '-', '_') in the
  // runs folder, or empty for none.
  char recording[scoreRecordingMax + 1];
};

struct ScoreTable {
  int count;
  ScoreEntry entries[scoreTableSize];  // best first
};

// Puts entry in its place: more points first, then the higher level, then
// the older entry. Returns its place from 1, or 0 when it does not make the
// table (which is then unchanged).
int insertScore(ScoreTable* table, const ScoreEntry& entry);

// The lines a read left out of the table, by number, with what was wrong
// with the first of them.
constexpr int scoreDamageShown = 8;
struct ScoreDamage {
  int count;
  int lines[scoreDamageShown];  // the first of them
  char first[360];              // "expected POINTS LEVEL ..."
};

// Reads the file's text: every good line into table, the damaged ones
// counted in *damage. False with "LINE: what is wrong" in why when the text
// is not a table of a version this game reads (its first line); *newer is
// set when the file is of a later version (to be left alone rather than
// replaced). An empty text is an empty table.
bool parseScores(const char* text, size_t size, ScoreTable* table, bool* newer, ScoreDamage* damage,
                 char* why, int whySize);

// "5, 7 and 9 (5: expected ...)": the lines a damaged read left out, for a
// message.
void describeDamage(const ScoreDamage& damage, char* out, int size);

// The place entry would take in table (from 1), or 0 when it would not
// make it; the table is not changed.
int scorePlace(const ScoreTable& table, const ScoreEntry& entry);

// The file's text for table; false if it does not fit in out.
bool formatScores(const ScoreTable& table, char* out, size_t size);

// FOLDER/scores for the usual folder; false when no folder can be named.
bool scoresFolder(char* out, size_t size);

// The runs folder beside the table kept in folder (FOLDER/runs), where the
// recordings of the runs in the table are kept (session/runs.h); false
// when it does not fit in out.
bool runsFolderIn(const char* folder, char* out, size_t size);
// The path of the recording called name in that runs folder; false for a
// name that is no recording's (not letters, digits, '.', '-' and '_') or
// a path that does not fit.
bool runRecordingPath(const char* folder, const char* name, char* out, size_t size);
// Whether entry's recording is there to be read in the runs folder of the
// table kept in folder (--watch-score N can watch it).
bool entryRecordingThere(const char* folder, const ScoreEntry& entry);

// Adds entry (when it has points) to the table kept in folder, as
// addScore, and keeps the runs folder in step: the recording of an entry
// pushed out of the ten is removed, and so is the entry's own when it does
// not make the table (or the table cannot be kept). Returns addScore's
// place (0 for an entry without points).
int keepScore(const char* folder, const ScoreEntry& entry, FILE* warnings);

// Adds entry to the table kept in folder (made when missing): takes the
// lock, reads, merges, writes and renames. Returns the entry's place (1 to
// 10), 0 when it does not make the table (the file is left untouched), or
// -1 after one line on `warnings` when the table cannot be kept; the old
// file then stays as it was. An entry that the new one pushes out of the
// ten is copied to *pushedOut when given (its recording is then no longer
// named; pushedOut->points is -1 when none is). A file that cannot be read
// as a table is moved aside as scores.corrupt-YYYYMMDD-HHMMSS[-N] (said in
// one line) and a new table started; one with damaged lines is kept aside
// so too, and the new table keeps its good lines.
int addScore(const char* folder, const ScoreEntry& entry, FILE* warnings,
             ScoreEntry* pushedOut = nullptr);

// How reading the table went.
enum ScoresRead {
  scoresReadWhole,    // every line read (or no table yet: an empty one)
  scoresReadDamaged,  // the good lines read; why names the lines left out
  scoresUnreadable,   // no table could be read; why says why
};

// Reads the table kept in folder without changing anything, for showing
// it. why (one line, without the program's name) says what is wrong where
// something is.
ScoresRead loadScores(const char* folder, ScoreTable* table, char* why, int whySize);

// Prints the table kept in folder for --scores: its good lines, those whose
// recording is in the runs folder marked "[recorded]" (with a line on how
// to watch them), and one line on `warnings` for a table that cannot be
// read (or the lines of it that are damaged). The file is left alone.
void printScores(const char* folder, FILE* out, FILE* warnings);

// This run's entry: the points banked at each level cleared plus those of
// the level in play, the highest level reached, the local date and time of
// `now`, the player's name (setRunName, or the login name) and the
// recording named by setRunRecording, if any.
ScoreEntry runEntry(time_t now);

// The name this run's entry carries, from the player's settings; null or
// empty: the login name. Printable ASCII, at most scoreNameMax characters
// (longer is cut, others become '_').
void setRunName(const char* name);

// The file name (in the runs folder) of this run's recording, for its
// entry; null or empty for none.
void setRunRecording(const char* fileName);

// Adds this run's entry to the usual table through keepScore and, when it
// makes the table, says its place in one line on stdout. A run without
// points is not kept (nor is its recording).
// Does the work once however often it is called; main hands it to atexit.
void keepRunScore();
