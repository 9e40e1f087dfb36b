// pad.cpp: the game controller turned into the frame's input record (see
// pad.h). The cursor motion keeps the fraction of a pixel a frame leaves
// over, so that a stick deflected a little still turns the aim slowly at
// any frame rate.
#include "game/pad.h"

#include <cmath>

#include "game/clock.h"
#include "game/rules.h"
#include "game/world.h"
#include "platform/platform.h"

namespace {

// Forgets the stick's leftover motion and the buttons seen last frame.
void resetPadInput() { world.pad = PadCarry{}; }

bool bit(uint32_t bits, int b) { return ((bits >> b) & 1u) != 0; }

void setKey(FrameInput* in, InputKey key, bool held, bool pressed) {
  if (held) in->held |= 1u << key;
  if (pressed) in->pressed |= 1u << key;
}

// A character from the pad: into the record, and to the key rules now,
// where a typed one went through the keyboard callback.
void addChar(FrameInput* in, unsigned char c, bool gDown) {
  if (in->charCount >= maxFrameChars) return;
  if (gDown) in->charWithG |= 1u << in->charCount;
  in->chars[in->charCount++] = c;
  applyKeyEvent(c, gDown);
}

// The sticks' cursor motion over stepMs, whole pixels now, the rest later.
void moveCursor(FrameInput* in, const PlatPad& pad, int32_t stepMs) {
  double lx, ly, rx, ry;
  padStickSpeed(pad.axes[platPadLeftX], pad.axes[platPadLeftY], &lx, &ly);
  padStickSpeed(pad.axes[platPadRightX], pad.axes[platPadRightY], &rx, &ry);
  double vx = lx + rx, vy = ly + ry;
  const double length = sqrt(vx * vx + vy * vy);
  if (length == 0) {
    world.pad.carry[0] = world.pad.carry[1] = 0;
    return;
  }
  if (length > 1) {  // both sticks together go no faster than one
    vx /= length;
    vy /= length;
  }
  const double seconds = stepMs * 0.001;
  const double x = world.pad.carry[0] + vx * padPixelsPerSecond * seconds;
  const double y = world.pad.carry[1] + vy * padPixelsPerSecond * seconds;
  const double wholeX = trunc(x), wholeY = trunc(y);
  world.pad.carry[0] = x - wholeX;
  world.pad.carry[1] = y - wholeY;
  in->cursorX += static_cast<int32_t>(wholeX);
  in->cursorY += static_cast<int32_t>(wholeY);
}

}  // namespace

void padStickSpeed(int x, int y, double* vx, double* vy) {
  const double fx = fmax(-1.0, fmin(1.0, x / 32767.0));
  const double fy = fmax(-1.0, fmin(1.0, y / 32767.0));
  const double length = sqrt(fx * fx + fy * fy);
  *vx = *vy = 0;
  if (length <= padDeadzone) return;
  const double travel = fmin(1.0, (length - padDeadzone) / (1 - padDeadzone));
  const double speed = travel * travel;
  *vx = fx / length * speed;
  *vy = fy / length * speed;
}

void addPadInput(FrameInput* in, const PlatPad& pad) {
  // A pad pulled out mid-game pauses it; putting it back does not resume.
  if (pad.unplugged && !game.paused && !game.gameOver) addChar(in, 'p', false);
  if (!pad.connected || !in->active) {
    resetPadInput();
    return;
  }
  const uint32_t held = pad.held, pressed = pad.pressed;
  if (!bit(held, platPadA)) world.pad.aAnswered = false;
  if (bit(pressed, platPadStart)) addChar(in, 'p', false);
  if (game.gameOver) {
    // Back ends the game only here: in play a stray press does nothing.
    setKey(in, keyN, false, bit(pressed, platPadA));
    setKey(in, keyY, false, bit(pressed, platPadBack));
    // The A that replays the level does not also fire its first shell.
    if (bit(pressed, platPadA)) world.pad.aAnswered = true;
    world.pad.carry[0] = world.pad.carry[1] = 0;
    return;
  }
  if (bit(pressed, platPadRightStick)) addChar(in, 'g', true);
  const bool fireTrigger = pad.axes[platPadRightTrigger] >= padTriggerPress;
  const bool launchTrigger = pad.axes[platPadLeftTrigger] >= padTriggerPress;
  const bool a = !world.pad.aAnswered;
  setKey(in, keyLButton, fireTrigger || (a && bit(held, platPadA)),
         (fireTrigger && !world.pad.fireTrigger) || (a && bit(pressed, platPadA)));
  setKey(in, keyRButton, launchTrigger || bit(held, platPadB),
         (launchTrigger && !world.pad.launchTrigger) || bit(pressed, platPadB));
  world.pad.fireTrigger = fireTrigger;
  world.pad.launchTrigger = launchTrigger;
  const struct {
    int button;
    InputKey key;
  } freeCameraButtons[] = {
      {platPadUp, keyW},    {platPadDown, keyS},          {platPadLeft, keyA},
      {platPadRight, keyD}, {platPadRightShoulder, keyQ}, {platPadLeftShoulder, keyE}};
  for (const auto& c : freeCameraButtons)
    setKey(in, c.key, bit(held, c.button), bit(pressed, c.button));
  if (game.paused) {
    world.pad.carry[0] = world.pad.carry[1] = 0;
    return;
  }
  int32_t stepMs = static_cast<int32_t>(in->tickMs - lastTickMs);
  if (stepMs < 0) stepMs = 0;
  if (stepMs > padLongestStepMs) stepMs = padLongestStepMs;
  moveCursor(in, pad, stepMs);
}
