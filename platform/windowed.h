// windowed.h: hooks into the windowed backend for its tests under Xvfb
// (tests/x11/platform_x11_*.cpp). The game never includes this: it exists so
// that tests can drive freeglut's event queue one step at a time and look
// into the sound queue, which SDL2's sound device (devices/audio.h) keeps.
#pragma once

#include <cstdint>

// Handles the X events and timers that are due now (one glutMainLoopEvent)
// and returns without waiting.
void windowedPumpEvents();

// Whether a sound device was opened at platInitWindowed.
bool windowedAudioOpen();

// Drops whatever sound is still queued, so a test starts from silence.
void windowedStopSound();

// Bytes of sound still queued for the device, and how many bytes the device
// consumes per second.
uint32_t windowedQueuedAudioBytes();
int windowedAudioBytesPerSecond();

// Size in bytes of a sound as converted for the device, or -1 when it has
// not been loaded (yet) or could not be read. Takes the game's sound name.
long windowedSoundBytes(const char* name);
