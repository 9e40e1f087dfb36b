// trace.h: the world state written frame by frame as JSON Lines.
//
// main opens the trace when --trace is given; the frame loop writes one line
// after start-up (frame 0) and one after every frame; endProcess writes the
// line of a frame that ended the process, with its exit status. playSound
// notes each sound of the frame. Writing the trace only reads the world.
#pragma once

// Opens FILE for writing; false (with errno set) when it cannot be opened.
bool traceOpen(const char* file);
bool traceEnabled();

// Notes a sound started in the current frame.
void traceSound(const char* name);

// Writes the line of the frame that just ran (lastFrame); exitStatus < 0
// means the process goes on. Clears the frame's sounds.
void traceFrame(int exitStatus);

void traceClose();
