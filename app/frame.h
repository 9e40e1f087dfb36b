// frame.h: the frame loop and the keyboard and display callbacks.
//
// frameTick is the timer callback that runs one whole frame, one line a
// step: the input record, time, pause, the hold point, the game-over answer,
// aiming, the camera keys, Esc, firing, the entity updates in their fixed
// order, the game-over and level-cleared rules, drawing (none while the
// window is hidden), and what a run keeps of the frame (trace, pictures, its
// end). Before a frame starts, a stop asked from outside (SIGINT, SIGTERM,
// the window closed) ends the run instead. Start-up registers the callbacks
// through the platform layer.
#pragma once

#include <cstdint>

void frameTick(int value);
// The same frame, drawn only when `draw` (a watched recording skipping
// ahead runs its frames undrawn); the world runs exactly as in frameTick.
void runFrameDrawn(bool draw);
// The keyboard callback, and the one for the keys that type nothing: a
// screen's keys go to the screens (app/screens.h), the others to the
// game's key rules through the player's bindings (game/bindings.h): p
// pauses, a key with G down frees the camera.
void onKey(unsigned char key, int x, int y);
void onSpecialKey(uint32_t sym);
// The display callback: draws the frame and shows it.
void displayFrame();
