// input.cpp: the input record's parts in the world, the rule that keeps
// the cursor's hold point inside the window, and the steady aim.
#include "game/input.h"

#include "game/world.h"

FrameInput& frameInput = world.input;
PlatWindow window;
int32_t (&cursorCentre)[2] = world.holdPoint;
WorldOptions& worldOptions = world.options;

void keepHoldPointInside(int32_t centre[2], const int32_t client[4]) {
  const int64_t left = client[0], top = client[1], right = client[2], bottom = client[3];
  const bool inside = centre[0] >= left + holdMargin && centre[0] < right - holdMargin &&
                      centre[1] >= top + holdMargin && centre[1] < bottom - holdMargin;
  if (inside) return;
  centre[0] = static_cast<int32_t>((left + right) / 2);
  centre[1] = static_cast<int32_t>((top + bottom) / 2);
}

void placeHoldPoint(const FrameInput& in) {
  if (!in.active) {
    cursorCentre[0] = in.cursorX;
    cursorCentre[1] = in.cursorY;
  }
  keepHoldPointInside(cursorCentre, in.client);
}

AimOffset steadyAimOffset(const FrameInput& in, bool aims) {
  SteadyAim& steady = world.steadyAim;
  const bool steadyHold = steady.where[0] == cursorCentre[0] && steady.where[1] == cursorCentre[1];
  const bool turns = aims && steady.aimed && steadyHold;
  steady.aimed = aims;
  steady.where[0] = cursorCentre[0];
  steady.where[1] = cursorCentre[1];
  if (!turns) return AimOffset{0, 0};
  return AimOffset{in.cursorX - cursorCentre[0], cursorCentre[1] - in.cursorY};
}

void startSteadyAim() { world.steadyAim = SteadyAim{true, {cursorCentre[0], cursorCentre[1]}}; }
