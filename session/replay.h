// replay.h: recording a session's input records to a text script, and
// playing such a script back as the game's input source.
//
// main opens the recording (--record) or the replay (--input with a script
// of this kind); the frame loop's input step (app/frame.h) writes or reads
// one frame's record (game/input.h) per frame. The replay supplies every frame's tick and input
// record and does not depend on the backend, so a session recorded in a window replays headless to
// the same world, frame by frame.
//
// The script, one item per line ('#' starts a comment after the first line):
//   # velkarra3d input 3
//   seed S              the random generator's seed
//   start T             the tick count at start-up
//   centre X Y          the cursor's hold point at start-up
//   option NAME VALUE   a world option (game/input.h): mouse-sensitivity X,
//                       invert-y 0|1, pause-on-focus-loss 0|1; before the
//                       first client or frame line, each missing one at
//                       its default

//   client L T R B      the window's client area from the next frame on
//   F T A X Y H P C...  frame F (1, 2, ...): tick T, active A (0/1), cursor
//                       X Y, held keys H and pressed keys P (hex masks of
//                       InputKey bits), then each character as two hex
//                       digits, with '+' when G was down
//   end                 the session ended after the last frame
// Version 2 files (no option lines, masks of the first twelve keys) replay
// as they always did; a newer version is refused.
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

// Checks a whole recorded session held in memory; `name` names it in the
// message. On a fault returns false with one line in err:
// "NAME:LINE: what is wrong". Allocates nothing and keeps nothing.
bool replayParse(const char* text, size_t size, const char* name, char* err, int errSize);

// Checks the file and opens it for replay (the input source is not changed).
// On a fault returns false with one line in err. A recording cut short is
// no fault: one line on stderr says so, and the replay ends after its last
// whole frame.
bool replayOpen(const char* path, char* err, int errSize);
uint32_t replaySeed();
uint32_t replayStartMs();
// The world options the session was played with; the replay applies them,
// whatever the options of this run say.
WorldOptions replayWorldOptions();
void replayStartCentre(int32_t centre[2]);
// Fills the next recorded frame; ends the process with status 2 and one line
// on stderr if the file changed under the replay.
void replayNext(FrameInput* in);
// Every recorded frame has been handed out.
bool replayFinished();
void replayClose();

// Starts writing a recording; false (with errno set) if the file cannot be
// written.
bool recordOpen(const char* path);
// The header: seed, start tick, the hold point at start-up and the world
// options in force (worldOptions).
void recordStart(uint32_t seed, uint32_t startMs, const int32_t centre[2]);
// Writes one frame's record (nothing while no recording is open).
void recordFrame(const FrameInput& in);
// Writes the end line and closes the file (nothing if none is open).
void recordClose();
