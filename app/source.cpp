// source.cpp: the frame's input record from the platform, a replay or the
// autoplayer, and the copy a recording keeps.
#include "app/source.h"

#include "app/options.h"
#include "app/screens.h"
#include "game/bindings.h"
#include "game/pad.h"
#include "game/rules.h"
#include "game/tally.h"
#include "platform/platform.h"
#include "session/autoplay.h"
#include "session/replay.h"

namespace {

InputSource source = inputFromPlatform;

}  // namespace

void setInputSource(InputSource s) { source = s; }

InputSource inputSource() { return source; }

uint32_t inputStartTick() { return source == inputFromReplay ? replayStartMs() : platTickMs(); }

// The frame's input record from the chosen source; a recording keeps a copy.
// A replay hands each recorded character to the key rules here, where the
// platform would have called the keyboard callback before the frame; the
// pad's part (game/pad.h) is in the record like the mouse's.
void sampleInput(FrameInput* in) {
  if (source == inputFromReplay) {
    replayNext(in);
    for (int i = 0; i < in->charCount; i++) applyKeyEvent(in->chars[i], (in->charWithG >> i) & 1u);
  } else {
    samplePlatformInput(in);
    PlatPad pad;
    platPadState(&pad);
    screenPointerAndPad(in, &pad);  // what an open screen uses is the screen's
    addPadInput(in, pad);
    leaveOutTakenKeys(in);
  }
  tallyFrame();  // before the frame changes the world
  if (source == inputFromAutoplay) autoplayInput(in);
  recordFrame(*in);
}

bool desktopKeysAct() { return source == inputFromPlatform && !runOptions.timedemoFile; }
