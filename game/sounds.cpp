// sounds.cpp: starting sounds and the list of a frame's sounds.
#include "game/sounds.h"

#include "game/world.h"
#include "platform/platform.h"

void playSound(SoundId sound) {
  FrameSounds& sounds = world.sounds;
  if (sounds.count < maxFrameSounds) sounds.started[sounds.count] = sound;
  sounds.count++;
  platPlaySound(soundFiles[sound]);
}

int frameSoundCount() { return world.sounds.count; }

SoundId frameSound(int index) { return world.sounds.started[index]; }

void clearFrameSounds() { world.sounds.count = 0; }
