// trace.h: the world state written frame by frame as JSON Lines.
//
// main opens the trace when --trace is given; the frame loop writes one line
// after start-up (frame 0) and one after every frame; the end of the process
// writes the line of a frame that ended it, with its exit status. Writing the
// trace only reads the world, and the sounds the frame started
// (game/sounds.h), which it then clears.
#pragma once

// Opens FILE for writing; false (with errno set) when it cannot be opened.
bool traceOpen(const char* file);

// Writes the line of the frame that just ran (lastFrame); exitStatus < 0
// means the process goes on. Clears the frame's sounds.
void traceFrame(int exitStatus);

void traceClose();
