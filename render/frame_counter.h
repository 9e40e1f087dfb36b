// frame_counter.h: the frame counter in a corner of the HUD: frames a
// second over the last half second, shown or hidden by F9 (or from the
// start by --show-fps).
//
// The frame loop notes each frame's tick and toggles the counter on F9;
// the HUD (render/hud.cpp) draws its text while it is shown. Hidden, it
// draws nothing, so pictures stay as they were.
#pragma once

#include <cstdint>

// Notes a frame that ran at tick nowMs; every half second the text takes
// the frames counted since the last change.
void countFrame(uint32_t nowMs);

void showFrameCounter(bool shown);
bool frameCounterShown();

// "62 fps", or "-- fps" before the first half second has passed.
const char* frameCounterText();

// Hidden, with no frame counted.
void resetFrameCounter();
