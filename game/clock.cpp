// clock.cpp: the frame step and the pause.
#include "game/clock.h"

#include "game/world.h"

FrameInfo& lastFrame = world.frame;
uint32_t& lastTickMs = world.lastTickMs;

void startClock(uint32_t startMs) {
  lastTickMs = startMs;
  lastFrame.now = startMs;  // the start-up line of the trace
}

void advanceClock(uint32_t now) {
  int32_t frameMs = static_cast<int32_t>(now - lastTickMs);
  lastTickMs = now;
  float dt = static_cast<float>(frameMs * 0.001);
  if (game.paused) {
    for (Trooper& trooper : troopers)
      if (trooper.active) trooper.dropTime += frameMs;
    lastShotMs += frameMs;
    if (missile.active) missile.launchMs += frameMs;
    dt = 0;
    frameMs = 0;
  }
  lastFrame.now = now;
  lastFrame.frameMs = frameMs;
  lastFrame.dt = dt;
}
