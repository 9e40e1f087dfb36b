// sounds.h: the game's sound effects, synthesised, as 16-bit mono PCM WAV
// files at 22050 Hz under s/.
#pragma once

#include <cstdint>
#include <vector>

#include "game/sounds.h"

constexpr int kSampleRate = 22050;

// Samples in -1..1 turned into a complete RIFF/WAVE file: the peak is set
// to 85% of full scale and both ends fade briefly so they do not click.
std::vector<uint8_t> encodeWav(std::vector<double> samples);

// The samples of one of the game's sounds (game/sounds.h).
std::vector<double> synthesise(SoundId sound);

// Every sound of the game's table, each under its own file name.
class DataFolder;
void writeSounds(const DataFolder& folder);
