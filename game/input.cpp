// input.cpp: sampling the frame's input record from the platform, the
// characters of the keyboard callback, and the rule that keeps the cursor's
// hold point inside the window.
#include "game/input.h"

#include "game/world.h"

FrameInput& frameInput = world.input;
PlatWindow window;
int32_t (&cursorCentre)[2] = world.holdPoint;
WorldOptions& worldOptions = world.options;

void samplePlatformInput(FrameInput* in) {
  in->tickMs = platTickMs();
  in->active = platActiveWindow() == window && window != 0;
  int x, y;
  platCursorPos(&x, &y);
  in->cursorX = x;
  in->cursorY = y;
  int left, top, right, bottom;
  platClientRect(window, &left, &top, &right, &bottom);
  in->client[0] = left;
  in->client[1] = top;
  in->client[2] = right;
  in->client[3] = bottom;
  in->held = 0;
  in->pressed = 0;
  for (int k = 0; k < inputKeyCount; k++) {
    const int state = platKeyState(inputKeyCodes[k]);
    if (state & 0x8000) in->held |= 1u << k;
    if (state & 1) in->pressed |= 1u << k;
  }
  PendingChars& pending = world.pendingChars;
  in->charCount = pending.count;
  for (int i = 0; i < pending.count; i++) in->chars[i] = pending.chars[i];
  in->charWithG = pending.withG;
  pending.count = 0;
  pending.withG = 0;
}

bool noteKeyEvent(unsigned char c) {
  // G is read at the key event: holding G and pressing any key toggles the
  // camera lock.
  const bool g = platKeyState('G') != 0;
  PendingChars& pending = world.pendingChars;
  if (pending.count >= maxFrameChars) return g;
  if (g) pending.withG |= 1u << pending.count;
  pending.chars[pending.count++] = c;
  return g;
}

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
