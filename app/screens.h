// screens.h: the game's own screens, open while the game is paused: the
// pause menu (Resume, Options, Controls, High scores, Quit), Options (the
// settings of the configuration file, changed at once and written back),
// Controls (every action's keys and pad button, rebound by pressing the
// new key) and High scores (the ten best runs and the place of the run in
// play).
//
// The keyboard reaches them between two frames through the key callbacks
// (app/frame.h), the pointer and the pad in the frame's sampling
// (app/source.h), before the record is written. What a screen uses never
// reaches the frame's record: its keys and buttons are left out until they
// come up. What a screen does to the game goes through the game's own ways,
// so that a recording replays it: Resume is the pause key's 'p', a world
// option changes through app/world_options.h, and Quit ends the run between
// two frames as the closed window does (app/ending.h). A replay shows the pause menu but does not
// open the screens. Drawing takes the picture from fillScreenPicture
// (render/screen.h).
#pragma once

#include <cstdint>

#include "game/input.h"
#include "platform/platform.h"

// Start-up: every screen closed, the score table read once for showing.
// playersInput: the input is the player's (a replay's is not), so the
// screens may open.
void startScreens(bool playersInput);

// Whether the screens take the player's input now: the game is paused and
// its input is the player's (not a replay's).
bool screensOpen();

// A key press between two frames, from the keyboard callback (c the
// character typed) or the special-key callback (c 0). True when a screen
// used it; otherwise the game's key rules get it (game/bindings.h). F1
// opens Controls from play too (pausing the game).
bool screenKey(uint32_t sym, unsigned char c);

// In the frame's sampling, before the record is written: the pointer's
// moves and clicks and the pad's buttons on the open screen. What a screen
// uses is taken out of in and pad (and left out of the records that follow
// until it comes up); a Resume chosen here puts its 'p' into in.
void screenPointerAndPad(FrameInput* in, PlatPad* pad);

// Leaves the keys and buttons a screen used out of in until they come up.
void leaveOutTakenKeys(FrameInput* in);

// Whether Quit was chosen: the frame loop then ends the run before the
// next frame, as when the window is closed (app/ending.h).
bool screenQuitChosen();

// After each frame: the pointer shown while a screen is open, hidden again
// when play resumes; a screen that closed starts again at the pause menu.
void afterScreenFrame();

// Before every drawing: what the screens show (render/screen.h), and the
// game-over screen's line about the run.
void fillScreenPicture();

// Whether the frame that ran would show another picture than the last one
// drawn: always in play; while paused (the world frozen) only when the
// screen, the game's counts, the camera's lock, the view, the frame counter,
// the detail or the window's shape changed since. The frame loop draws a
// paused frame only then, so that a screen open costs next to nothing.
bool screenFrameChanged();

// "This run: 2035 points, level 14, place 1": the run so far and the place
// it would take in the table now (no place for a run without points).
void runSoFar(char* out, int size);
