// source.h: where each frame's input record comes from.
//
// main chooses the source once; the frame loop (app/frame.h) samples the
// record at the top of every frame; start-up takes the first tick and the
// hold point from a replay; the run's end prints the autoplayer's summary.
#pragma once

#include <cstdint>

#include "game/input.h"

// The platform (a window or the headless script), a recorded session
// (session/replay.h), or the platform with the autoplayer's hand on the
// mouse (session/autoplay.h).
enum InputSource : uint8_t { inputFromPlatform, inputFromReplay, inputFromAutoplay };
void setInputSource(InputSource source);
InputSource inputSource();

// The tick count a run starts from: the platform clock, or the recorded one.
uint32_t inputStartTick();

// Fills in with this frame's record from the chosen source, and writes it to
// the recording when one is open. A replay hands each recorded character to
// the key rules here, where the platform would have called the keyboard
// callback before the frame.
void sampleInput(FrameInput* in);

// Whether this run acts on the keys that write files or change the desktop
// (F12, F11, Alt+Enter): only when the input comes from the platform (a
// window, or the headless script that stands in for one) and the run is no
// timedemo. Every other input source (a replay, the autoplayer, and any
// source added later) leaves them alone. The one place that decides it:
// whatever else must know asks here.
bool desktopKeysAct();
