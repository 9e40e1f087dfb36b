// Tests of the sound effects of the game's sound table, decoded with SDL as
// the game's audio device plays them.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "game/sounds.h"

namespace {

class Sound : public ::testing::TestWithParam<const char*> {};

TEST_P(Sound, DecodesAsShortCleanMonoPcm) {
  std::string path = std::string(VELKARRA_DATA_DIR) + "/" + GetParam();
  std::replace(path.begin(), path.end(), '\\', '/');
  SDL_AudioSpec wavInfo;
  Uint8* buffer = nullptr;
  Uint32 length = 0;
  ASSERT_NE(SDL_LoadWAV(path.c_str(), &wavInfo, &buffer, &length), nullptr) << SDL_GetError();
  std::vector<int16_t> samples(length / 2);
  std::memcpy(samples.data(), buffer, samples.size() * 2);
  SDL_FreeWAV(buffer);

  EXPECT_EQ(wavInfo.freq, 22050);
  EXPECT_EQ(wavInfo.format, AUDIO_S16LSB);
  EXPECT_EQ(wavInfo.channels, 1);
  double seconds = samples.size() / 22050.0;
  EXPECT_GE(seconds, 0.1);
  EXPECT_LE(seconds, 1.6);

  int peak = 0;
  for (int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
  EXPECT_LT(peak, 32767) << "clipped";
  EXPECT_GT(peak, 16000) << "too quiet";
  // Faded in and out: no click at either end.
  ASSERT_GT(samples.size(), 100u);
  EXPECT_LT(std::abs(samples.front()), 500);
  EXPECT_LT(std::abs(samples.back()), 500);
  // Sound all the way through its first tenth of a second (no leading gap).
  int loudEarly = 0;
  for (size_t i = 0; i < 2205; ++i) loudEarly += std::abs(samples[i]) > peak / 4;
  EXPECT_GT(loudEarly, 20);
}

INSTANTIATE_TEST_SUITE_P(DataSounds, Sound, ::testing::ValuesIn(soundFiles));

}  // namespace
