// audio.h: SDL2's sound device. One queued output device plays one sound at a
// time, and a new sound cuts off the one still playing. Sounds are WAV files,
// decoded and converted to the device's format once and kept for the run.
//
// The windowed backend (platform/windowed.cpp) is the one caller: it opens
// the device at start-up and plays the game's sounds through it; its test
// hooks (platform/windowed.h) look into the queue through the calls at the
// end. The module starts and stops SDL's audio subsystem on its own, so other
// SDL devices can live beside it.
#pragma once

#include <cstdint>

// Opens the default sound device and starts it. Without one, says so in one
// line on stderr, "velkarra3d: no audio device (REASON); playing without
// sound", and returns false: every call below then does nothing. The device
// closes at exit.
bool audioOpen();

// Decodes every .wav file of `folder` up front, so that no frame waits for a
// file the first time its sound plays.
void audioPreload(const char* folder);

// Starts the WAV file at `path` (absolute, or relative to the working
// directory at the time of the call) and returns at once, cutting off the
// sound still playing. A file is read once, on its first play or at the
// preload, and kept by its absolute path: a missing or unreadable file plays
// nothing, leaves the sound still playing alone and is not looked for again.
void audioPlay(const char* path);

// The volume of the sounds that start from now on, in percent (clamped to
// 0..100; 100, the default, plays each sound as its file holds it). 0
// stops the sound playing and plays nothing until the volume is raised.
void audioSetVolume(int percent);

// ---- For tests ----

// Whether audioOpen opened a device.
bool audioIsOpen();

// Drops whatever sound is still queued.
void audioStop();

// Bytes of sound still queued for the device, and how many bytes the device
// consumes per second.
uint32_t audioQueuedBytes();
int audioBytesPerSecond();

// Size in bytes of the sound at `path` as converted for the device, or -1
// when it has not been read (yet) or could not be.
long audioSoundBytes(const char* path);
