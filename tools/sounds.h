// sounds.h: the game's sound effects, synthesised, as 16-bit mono PCM WAV
// files at 22050 Hz under s/.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kSampleRate = 22050;

// Samples in -1..1 turned into a complete RIFF/WAVE file: the peak is set
// to 85% of full scale and both ends fade briefly so they do not click.
std::vector<uint8_t> encodeWav(std::vector<double> samples);

// name (as the game asks for it, e.g. "exp_plane.wav") and its samples.
struct SoundEffect {
  std::string name;
  std::vector<double> samples;
};
std::vector<SoundEffect> synthesiseSounds();

class DataFolder;
void writeSounds(const DataFolder& folder);
