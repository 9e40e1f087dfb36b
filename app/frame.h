// frame.h: the frame loop and the keyboard callback.
//
// frameTick is the 1 ms timer callback that runs one whole frame: the input
// record (shell/input.h), time, pause, aiming, firing, the entity updates in their fixed order, the
// game-over and level-cleared rules, drawing. onKey handles p (pause) and G
// (camera lock). Registered by start-up through the platform layer.
#pragma once

#include <cstdint>

#include "platform/platform.h"

extern uint32_t lastTickMs;      // tick count read by the previous frame
extern int32_t cursorCentre[2];  // screen point at which the cursor is held
extern PlatWindow window;        // the game window

// The values of the frame that ran last, kept for the trace.
struct FrameInfo {
  int32_t number;  // 0 during start-up, then 1, 2, ...
  uint32_t now;
  int32_t frameMs;
  float dt;
};
extern FrameInfo lastFrame;

void frameTick(int value);
void onKey(unsigned char key, int x, int y);
// What a key event does: p toggles the pause, any key with G down toggles
// the camera lock. Called by onKey and by a replay.
void applyKeyEvent(unsigned char key, bool gDown);
// The display callback: draws the frame and shows it.
void displayFrame();
