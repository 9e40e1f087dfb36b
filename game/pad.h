// pad.h: the game controller's part of the frame's input record. The sticks
// become cursor motion, the buttons key bits and characters, so that the
// frame, a recording and a replay cannot tell a pad from a mouse and a
// keyboard:
//   right or left stick   cursor motion (aim, or steer the flying missile)
//   right trigger, A      left button (fire)
//   left trigger, B       right button (launch the missile)
//   Start                 'p' (pause and resume)
//   right-stick click     a character with G down (camera lock)
//   d-pad                 W / S / A / D (the free camera along and across the aim)
//   right / left shoulder Q / E (the free camera up / down)
//   A / Back              N / Y on the game-over screen; Back does nothing in play
// A pad pulled out while the game runs unpaused adds a 'p'.
//
// The input source (app/source.h) adds this to every record it samples from
// the platform; a replay has it in the record already.
#pragma once

#include <cstdint>

#include "game/input.h"

// A stick pushed all the way turns the aim this fast: the cursor moves
// padTurnRadiansPerSecond / aimRadiansPerPixel pixels a second, so the
// options that scale the mouse scale the pad too.
constexpr double padTurnRadiansPerSecond = 2.0;
constexpr double padPixelsPerSecond = padTurnRadiansPerSecond / aimRadiansPerPixel;

// A stick deflected less than this share of its travel (in any direction)
// counts as centred; past it the speed grows with the square of the rest of
// the travel, so small corrections stay small.
constexpr double padDeadzone = 0.15;

// A trigger pulled this far (of 32767) presses its button.
constexpr int padTriggerPress = 8192;

// The longest frame step the stick is turned for: after a stall the aim
// does not jump.
constexpr int32_t padLongestStepMs = 100;

// Adds the playing pad as platPadState gave it (less what a screen took:
// app/screens.h) to in, whose tick, activity and
// keyboard input are sampled already, and hands each character it adds to
// the key rules, as the keyboard callback does for typed ones. The frame's
// step for the stick is in's tick less the previous frame's (lastTickMs).
// Nothing but a pad pulled out counts while the window is inactive.
void addPadInput(FrameInput* in, const PlatPad& pad);

// The cursor speed, as a share of padPixelsPerSecond on each axis, of a
// stick at (x, y) (-32768 to 32767 each): zero in the deadzone, then the
// curve. The length of the result is at most 1.
void padStickSpeed(int x, int y, double* vx, double* vy);
