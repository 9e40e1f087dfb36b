// clock.h: the game's time: the tick of each frame and the step since the
// one before, with the pause that stops the step.
//
// The frame loop (app/frame.h) advances the clock once per frame, first
// thing after it has sampled the input; the updates take the step from
// lastFrame, the trace writes it. Start-up sets the first tick.
#pragma once

#include <cstdint>

#include "game/world.h"

// Both live in the world record, so that saving the world saves the clock
// with it.
extern FrameInfo& lastFrame;
// The tick count read by the previous frame (the start-up tick before the
// first frame).
extern uint32_t& lastTickMs;

// The tick count a run starts from.
void startClock(uint32_t startMs);

// The frame's tick and step. While paused the absolute stamps of the world
// (trooper drops, the last shot, the missile's launch) move on with the clock
// and the step is 0.
void advanceClock(uint32_t now);
