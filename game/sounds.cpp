// sounds.cpp: starting sounds and the list of a frame's sounds.
#include "game/sounds.h"

#include "platform/platform.h"

namespace {

SoundId started[maxFrameSounds];
int startedCount;

}  // namespace

void playSound(SoundId sound) {
  if (startedCount < maxFrameSounds) started[startedCount] = sound;
  startedCount++;
  platPlaySound(soundFiles[sound]);
}

int frameSoundCount() { return startedCount; }

SoundId frameSound(int index) { return started[index]; }

void clearFrameSounds() { startedCount = 0; }
