// sounds.h: the game's sound effects, one enum and one table of file names.
//
// The rules and the entity updates start a sound by its id with playSound;
// the data tool writes each file under its name; the trace reads the sounds
// a frame started. Names use the backslash as the folder separator, as the
// platform layer takes them ("s\\tada.wav").
#pragma once

#include <cstdint>

#include "game/world.h"

// Declared ahead in game/world.h, whose list of a frame's sounds holds them.
enum SoundId : uint8_t {
  soundPlaneDown,    // a plane shot down
  soundTrooperDown,  // a trooper shot
  soundBurst,        // a parachute torn away, a shell or the missile bursting
  soundBombDown,     // a bomb shot out of the air
  soundCannonHit,    // a bomb reached the cannon
  soundGameOver,
  soundLevelCleared,
  soundCount
};

// The file of each sound, in SoundId order.
constexpr const char* soundFiles[soundCount] = {
    "s\\exp_plane.wav", "s\\exp_trooper.wav", "s\\exp_can.wav", "s\\exp_bomb.wav",
    "s\\TnkDes.wav",    "s\\game_over.wav",   "s\\tada.wav",
};

// Starts the sound through the platform and notes it for the frame's trace.
void playSound(SoundId sound);

// The sounds started since the last clearFrameSounds, oldest first. Far
// fewer than maxFrameSounds start in one frame; any beyond are counted in
// frameSoundCount but not kept.
int frameSoundCount();
SoundId frameSound(int index);  // index below both the count and maxFrameSounds
void clearFrameSounds();
