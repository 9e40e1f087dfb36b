// ending.h: every way a run ends.
//
// The frame loop ends the process with shutdown (Esc, or Y on the game-over
// screen, status 1), stopBetweenFrames (a signal or the closed window,
// status 1) or endRun (the frame limit, or the last frame of a replay,
// status 0), and saves the pictures --shot-every asks for; main ends a run
// of no frames with endRun.
#pragma once

#include <cstdint>

// Ends the process with status 1 between two frames, when the program was
// asked to stop from outside (SIGINT, SIGTERM, the window closed): as
// shutdown, but the trace gets no line of its own, since no frame ended the
// run; the recording's replay then gives the very same trace.
[[noreturn]] void stopBetweenFrames();

// Ends the process with status 1 (endProcess). Does not return.
[[noreturn]] void shutdown();

// Releases the seven models, their model-space boxes and the font's glyph
// table (display lists, textures and the terrain stay until the process
// ends). The records keep their now dangling pointers.
void releaseAssets();

// Ends the process with the given status, after writing the trace line of
// the frame that ended it (with the status) and the screenshot, if one was
// asked for, and releasing the models, their boxes and the font.
[[noreturn]] void endProcess(int status);

// Saves what the window shows as the screenshot file's name with the frame
// number added ("shot.png" gives "shot-000120.png"); nothing without
// --screenshot.
void saveFrameShot(int32_t frame);

// Ends a run at the frame limit the user asked for: writes the screenshot,
// if one was asked for, and exits with status 0 (1 if the screenshot could
// not be written).
[[noreturn]] void endRun();
