// replay.h: recording a session's input records to a text script, and
// playing such a script back as the game's input source.
//
// main opens the recording (--record) or the replay (--input with a script
// of this kind); the frame loop's input step (app/frame.h) writes or reads
// one frame's record (game/input.h) per frame. The replay supplies every frame's tick and input
// record and does not depend on the backend, so a session recorded in a window replays headless to
// the same world, frame by frame.
//
// The script, one item per line ('#' starts a comment after the first line),
// plain or gzip-compressed (base/gzip_file.h), whichever the file is:
//   # velkarra3d input 5
//   seed S              the random generator's seed
//   start T             the tick count at start-up
//   centre X Y          the cursor's hold point at start-up
//   data H              the hash of the data set the world was built from
//                       (assets/dataset.h), 16 hex digits
//   option NAME VALUE   a world option (app/world_options.h) by its name and
//                       value text: before the first frame, the options the
//                       session started with (each missing one at its
//                       default); between two frames, a change that applies
//                       from the next frame on
//   client L T R B      the window's client area from the next frame on
//   F T A X Y H P C...  frame F (1, 2, ...): tick T, active A (0/1), cursor
//                       X Y, held keys H and pressed keys P (hex masks of
//                       InputKey bits), then each character as two hex
//                       digits, with '+' when G was down
//   end                 the session ended after the last frame
// Version 4 files (no data line), version 3 files (option lines only before
// the first client or frame line) and version 2 files (no option lines,
// masks of the first twelve keys) replay as they always did; a newer version
// is refused. A compressed stream that simply ends counts as cut short.
// The recorder writes every line at once. A recording whose writer was
// killed, or crashed, lacks the 'end' line and may stop in the middle of a
// line: it replays its whole frames (and says so once on stderr), and the
// cut-off part is not read. Anything malformed before the cut is refused.
#pragma once

#include <cstddef>
#include <cstdint>

#include "game/input.h"

// Whether the file starts with the header of a recorded session (a version 2
// or later); such files are replayed, others are read as event scripts.
bool isRecordedSession(const char* path);

// What a replay does with the recording's option lines, given by the
// program that knows the options: check tells whether a value is good (and
// why not, in one line), apply sets it. A null check takes any value.
struct ReplayOptionRules {
  bool (*check)(const char* name, const char* value, char* why, int whySize);
  void (*apply)(const char* name, const char* value);
};

// The most option lines that may stand before one frame.
constexpr int maxOptionsBeforeFrame = 16;

// Checks a whole recorded session held in memory, its option lines through
// check; `name` names it in the message. On a fault returns false with one
// line in err: "NAME:LINE: what is wrong". Allocates nothing and keeps
// nothing.
bool replayParse(const char* text, size_t size, const char* name, const ReplayOptionRules& rules,
                 char* err, int errSize);

// Checks the file and opens it for replay (the input source is not changed).
// On a fault returns false with one line in err. A recording cut short is
// no fault: one line on stderr says so, and the replay ends after its last
// whole frame.
bool replayOpen(const char* path, const ReplayOptionRules& rules, char* err, int errSize);
uint32_t replaySeed();
uint32_t replayStartMs();
void replayStartCentre(int32_t centre[2]);
// The hash of the data set the recording names; false for a recording of
// an older version, which names none.
bool replayDataHash(uint64_t* hash);
// The frames the replay plays, the frames handed out so far, and the
// recorded time from the start to the last frame, in ms.
int32_t replayFrameCount();
int32_t replayFramesPlayed();
uint32_t replayLengthMs();
// The tick of the frame replayNext hands out next; false when none is left.
bool replayNextTick(uint32_t* tick);
// Starts the replay again from its first frame (the header is read again);
// false when the file cannot be read from the top again. Allocates nothing.
bool replayRestart();
// Hands each option of the header (the lines before the first frame), in
// file order, to apply.
void replayHeaderOptions(void (*apply)(const char* name, const char* value));
// Fills the next recorded frame, after applying the option lines recorded
// before it; ends the process with status 2 and one line on stderr if the
// file changed under the replay.
void replayNext(FrameInput* in);
// Every recorded frame has been handed out.
bool replayFinished();
void replayClose();

// Starts writing a recording (--record), compressed when the name ends in
// ".gz"; false (with errno set) if the file cannot be written.
bool recordOpen(const char* path);
// Writes the same recording, compressed, into fd too (a kept run,
// session/runs.h); name is for messages. False with errno set when zlib
// cannot be set up. A failed write to either file says so once on stderr
// and leaves that file alone from then on.
bool recordKeep(int fd, const char* name);
// The kept copy was opened in this run and every write to it went through.
bool recordKeptWhole();
// The header: seed, start tick, the hold point at start-up and the data
// set's hash; the world options follow as option lines.
void recordStart(uint32_t seed, uint32_t startMs, const int32_t centre[2], uint64_t dataHash);
// Writes "option NAME VALUE" (nothing while no recording is open): in the
// header, or between two frames for a change that applies from the next
// frame on.
void recordOption(const char* name, const char* value);
// Writes one frame's record (nothing while no recording is open), formatted
// once into a fixed buffer: no allocation.
void recordFrame(const FrameInput& in);
// Writes the end line and closes the files (nothing if none is open).
void recordClose();
