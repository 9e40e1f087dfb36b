// input.h: the input of one frame, sampled once at the top of the frame,
// and the cursor's hold point.
//
// The frame loop (app/frame.h) fills one FrameInput per frame and then reads
// nothing else: the tick, the active-window test, the cursor, the client
// area, every key and button the frame may read, and the characters that
// reached the keyboard callback since the previous frame. fireWeapons and the
// aim step (sim/) get the record too. The record comes from the platform
// (samplePlatformInput, through the player's key bindings: game/bindings.h),
// from a recorded session or from the autoplayer
// (session/); the frame loop chooses.
#pragma once

#include <cstdint>

#include "game/world.h"
#include "platform/platform.h"

// The keys and buttons a frame may read; bit k of held and pressed. The
// player's key bindings (game/bindings.h) say which key drives each.
enum InputKey : uint8_t {
  keyQ,
  keyE,
  keyW,
  keyS,
  keyA,
  keyD,
  keyEscape,
  keyN,
  keyY,
  keyG,
  keyLButton,
  keyRButton,
  keyF9,        // the frame counter on and off
  keyF11,       // full screen on and off
  keyF12,       // a screenshot
  keyAltEnter,  // full screen on and off, as F11
  keyM,         // the sound off and on
  inputKeyCount
};

// What a pixel of cursor motion does: it turns the aim by aimRadiansPerPixel,
// or the flying missile by steerDegreesPerPixel. The aim step and the
// autoplayer both work with these.
constexpr float aimRadiansPerPixel = 0.005f;
constexpr float steerDegreesPerPixel = 0.5f;

// The world options in force (WorldOptions, in the world record): the
// mouse's sensitivity (a factor on both scales above) and its vertical
// sense, and whether a window losing the focus pauses the game. Start-up
// sets them from the options (app/options.h, the rows marked as changing
// the world), a replay from its recording.
extern WorldOptions& worldOptions;

// The scales in force: radians of aim and degrees of steering per pixel,
// and the sign a pixel upward carries (-1 with invert-y).
inline float aimScale() { return aimRadiansPerPixel * worldOptions.mouseSensitivity; }
inline float steerScale() { return steerDegreesPerPixel * worldOptions.mouseSensitivity; }
inline float upSign() { return worldOptions.invertY ? -1.0f : 1.0f; }

// The record of the frame that runs now (in the world record).
extern FrameInput& frameInput;

// The game window, found at start-up: the platform's, not the world's.
extern PlatWindow window;

// The screen point at which the cursor is held while the game is played
// (the hold point, in the world record).
extern int32_t (&cursorCentre)[2];

// Held now or pressed since the previous frame: what the game calls pressed.
inline bool keyDown(const FrameInput& in, InputKey key) {
  return ((in.held | in.pressed) >> key) & 1u;
}

// Went down since the previous frame: once per press, however long it is
// held, for the keys that toggle something.
inline bool keyPressed(const FrameInput& in, InputKey key) { return (in.pressed >> key) & 1u; }

// The distance from the client area's edge within which the hold point may
// not lie.
constexpr int32_t holdMargin = 64;

// Moves centre to the middle of the client area when it lies outside the
// area or within holdMargin pixels of its edge (always, for an area narrower
// or lower than 2 x holdMargin).
void keepHoldPointInside(int32_t centre[2], const int32_t client[4]);

// While the window is inactive the hold point follows the cursor; it never
// lies outside the window's picture or near its edge.
void placeHoldPoint(const FrameInput& in);

// The cursor's offset from the hold point that turns the aim (or steers the
// missile) in this frame: dx to the right, dy upward, in pixels.
struct AimOffset {
  int32_t dx, dy;
};

// The offset a frame that aims (active, not paused, not over) may use: the
// cursor's offset from the hold point when the frame before also aimed and
// the hold point has not moved since; otherwise (play resumes after a pause,
// the focus comes back, N on the game-over screen, the client area changed)
// zero, so that the pointer's free travel meanwhile turns nothing. A frame
// that does not aim gets zero too. Called once per frame, after
// placeHoldPoint; it remembers whether the frame aims and where the hold
// point is. Everything it reads is in the record, the world or the hold
// point, so a replay repeats it exactly.
AimOffset steadyAimOffset(const FrameInput& in, bool aims);

// Start-up: the first frame follows a frame that aimed, with the hold point
// where it is now.
void startSteadyAim();
