// input.cpp: sampling the frame's input record from the platform, a replay
// or the autoplayer, and the rule that keeps the cursor's hold point inside
// the window.
#include "game/input.h"

#include "platform/platform.h"
#include "session/autoplay.h"
#include "app/frame.h"
#include "session/replay.h"

const int inputKeyCodes[inputKeyCount] = {'Q',        'E', 'W', 'S', 'A',         'D',
                                          platEscape, 'N', 'Y', 'G', platLButton, platRButton};

FrameInput frameInput;

namespace {

InputSource source = inputFromPlatform;

// Characters from the keyboard callback, waiting for the next frame.
struct PendingChars {
  int32_t count;
  unsigned char chars[maxFrameChars];
  uint32_t withG;
};
PendingChars pending;

// Every key once, so that a press is seen by the next frame or by none.
void samplePlatform(FrameInput* in) {
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
  in->charCount = pending.count;
  for (int i = 0; i < pending.count; i++) in->chars[i] = pending.chars[i];
  in->charWithG = pending.withG;
}

}  // namespace

void setInputSource(InputSource s) { source = s; }

InputSource inputSource() { return source; }

void sampleInput(FrameInput* in) {
  if (source == inputFromReplay) {
    replayNext(in);
    for (int i = 0; i < in->charCount; i++) applyKeyEvent(in->chars[i], (in->charWithG >> i) & 1u);
  } else {
    samplePlatform(in);
  }
  if (source == inputFromAutoplay) autoplayInput(in);
  pending.count = 0;
  pending.withG = 0;
  recordFrame(*in);
}

bool noteKeyEvent(unsigned char c) {
  // G is read at the key event: holding G and pressing any key toggles the
  // camera lock.
  const bool g = platKeyState('G') != 0;
  if (pending.count >= maxFrameChars) return g;
  if (g) pending.withG |= 1u << pending.count;
  pending.chars[pending.count++] = c;
  return g;
}

void resetInput() {
  source = inputFromPlatform;
  pending = PendingChars{};
  frameInput = FrameInput{};
  replayClose();
  autoplayReset();
}

uint32_t inputStartTick() { return source == inputFromReplay ? replayStartMs() : platTickMs(); }

void keepHoldPointInside(int32_t centre[2], const int32_t client[4]) {
  const int64_t left = client[0], top = client[1], right = client[2], bottom = client[3];
  const bool inside = centre[0] >= left + holdMargin && centre[0] < right - holdMargin &&
                      centre[1] >= top + holdMargin && centre[1] < bottom - holdMargin;
  if (inside) return;
  centre[0] = static_cast<int32_t>((left + right) / 2);
  centre[1] = static_cast<int32_t>((top + bottom) / 2);
}
