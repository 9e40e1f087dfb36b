// platform_x11_audio.cpp: the windowed backend's sound (SDL's dummy driver,
// which consumes queued audio in real time) and its start-up messages: no X
// display, and no usable audio device, each said in exactly one line.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "platform/windowed.h"
#include "support/test_support.h"

namespace {

// Started with VELKARRA_PLATFORM_CHILD set, this binary plays one start-up
// scenario and exits before any test runs, so the tests below can watch a
// fresh process's stderr.
int childScenario() {
  const char* mode = getenv("VELKARRA_PLATFORM_CHILD");
  if (!mode) return 0;
  static char name[] = "velkarra3d";
  static char* argv[] = {name, nullptr};
  int argc = 1;
  const bool opened = platInitWindowed(&argc, argv);
  printf("%s\n", opened ? "opened" : "not opened");
  if (opened && std::string(mode) == "preload")
    printf("%s\n", windowedSoundBytes("s\\early.wav") > 0 ? "preloaded" : "not preloaded");
  if (opened && std::string(mode) == "sound") {
    platCreateWindow("Velkarra3D", 0, 0, 800, 600);
    platPlaySound("s\\missing.wav");
    const char* wav = getenv("VELKARRA_TEST_WAV");
    if (wav) platPlaySound(wav);
    printf("played\n");
  }
  fflush(stdout);
  _exit(0);
}
const int gChild = childScenario();

// A 16-bit mono PCM WAV file of `ms` milliseconds of a square wave.
std::string wav(int rate, int ms) {
  const uint32_t samples = static_cast<uint32_t>(rate) * ms / 1000;
  const uint32_t dataBytes = samples * 2;
  std::string out;
  auto u32 = [&out](uint32_t v) {
    for (int i = 0; i < 4; i++) out += static_cast<char>(v >> (8 * i) & 0xff);
  };
  auto u16 = [&out](uint16_t v) {
    out += static_cast<char>(v & 0xff);
    out += static_cast<char>(v >> 8);
  };
  out += "RIFF";
  u32(36 + dataBytes);
  out += "WAVEfmt ";
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(static_cast<uint32_t>(rate));
  u32(static_cast<uint32_t>(rate) * 2);
  u16(2);
  u16(16);
  out += "data";
  u32(dataBytes);
  for (uint32_t i = 0; i < samples; i++) u16(i / 20 % 2 ? 0x2000 : 0xe000);
  return out;
}

class PlatformX11Audio : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    static char name[] = "velkarra_platform_x11_tests";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    ASSERT_TRUE(platInitWindowed(&argc, argv));
  }
  void SetUp() override {
    ASSERT_TRUE(windowedAudioOpen()) << "SDL's dummy audio driver did not open";
    windowedStopSound();
    char cwd[1024];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    oldDir = cwd;
    dir = makeTempDir("platform-audio");
    ASSERT_EQ(mkdir((dir + "/s").c_str(), 0755), 0);
    ASSERT_EQ(chdir(dir.c_str()), 0);
  }
  void TearDown() override {
    EXPECT_EQ(chdir(oldDir.c_str()), 0);
    removeTree(dir);
  }
  std::string oldDir, dir;
};

TEST_F(PlatformX11Audio, SoundIsConvertedQueuedAndPlayed) {
  ASSERT_TRUE(writeFile(dir + "/s/long.wav", wav(11025, 1500)));
  platPlaySound("s\\long.wav");
  const long bytes = windowedSoundBytes("s\\long.wav");
  const long perSecond = windowedAudioBytesPerSecond();
  ASSERT_GT(perSecond, 0);
  // Converted to the device's rate and channels: still 1.5 seconds long.
  EXPECT_NEAR(static_cast<double>(bytes) / perSecond, 1.5, 0.02);
  const uint32_t queued = windowedQueuedAudioBytes();
  EXPECT_LE(queued, static_cast<uint32_t>(bytes));
  EXPECT_GT(queued, static_cast<uint32_t>(bytes) / 2);
  // The device takes it away as it plays.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (windowedQueuedAudioBytes() >= queued && std::chrono::steady_clock::now() < deadline)
    usleep(5000);
  EXPECT_LT(windowedQueuedAudioBytes(), queued);
}

TEST_F(PlatformX11Audio, NewSoundCutsOffTheOneStillPlaying) {
  ASSERT_TRUE(writeFile(dir + "/s/long.wav", wav(22050, 2000)));
  ASSERT_TRUE(writeFile(dir + "/s/short.wav", wav(22050, 100)));
  platPlaySound("s\\long.wav");
  EXPECT_GT(windowedQueuedAudioBytes(), static_cast<uint32_t>(windowedAudioBytesPerSecond()));
  platPlaySound("s\\short.wav");
  const long shortBytes = windowedSoundBytes("s\\short.wav");
  ASSERT_GT(shortBytes, 0);
  EXPECT_LE(windowedQueuedAudioBytes(), static_cast<uint32_t>(shortBytes));
  // The same sound again starts over from its beginning.
  platPlaySound("s\\long.wav");
  platPlaySound("s\\long.wav");
  EXPECT_LE(windowedQueuedAudioBytes(), static_cast<uint32_t>(windowedSoundBytes("s\\long.wav")));
  EXPECT_GT(windowedQueuedAudioBytes(), static_cast<uint32_t>(windowedAudioBytesPerSecond()));
}

TEST_F(PlatformX11Audio, MissingOrBrokenFilePlaysNothingAndIsNotLookedForAgain) {
  ASSERT_TRUE(writeFile(dir + "/s/bad.wav", "RIFF but not a wave file"));
  platPlaySound("s\\late.wav");
  platPlaySound("s\\bad.wav");
  EXPECT_EQ(windowedQueuedAudioBytes(), 0u);
  EXPECT_EQ(windowedSoundBytes("s\\late.wav"), -1);
  EXPECT_EQ(windowedSoundBytes("s\\bad.wav"), -1);

  // It does not stop the sound already playing either.
  ASSERT_TRUE(writeFile(dir + "/s/long.wav", wav(22050, 2000)));
  platPlaySound("s\\long.wav");
  const uint32_t playing = windowedQueuedAudioBytes();
  platPlaySound("s\\late.wav");
  EXPECT_GT(windowedQueuedAudioBytes(), playing / 2);

  // The file that failed once is not read again, even once it exists.
  ASSERT_TRUE(writeFile(dir + "/s/late.wav", wav(22050, 100)));
  platPlaySound("s\\late.wav");
  EXPECT_EQ(windowedSoundBytes("s\\late.wav"), -1);
}

TEST_F(PlatformX11Audio, NamesAreRelativeToTheDirectoryAtTheTimeOfTheCall) {
  const std::string other = makeTempDir("platform-audio-other");
  ASSERT_EQ(mkdir((other + "/s").c_str(), 0755), 0);
  ASSERT_TRUE(writeFile(dir + "/s/same.wav", wav(22050, 200)));
  ASSERT_TRUE(writeFile(other + "/s/same.wav", wav(22050, 600)));
  platPlaySound("s\\same.wav");
  const long here = windowedSoundBytes("s\\same.wav");
  ASSERT_EQ(chdir(other.c_str()), 0);
  platPlaySound("s\\same.wav");
  const long there = windowedSoundBytes("s\\same.wav");
  removeTree(other);
  EXPECT_GT(here, 0);
  EXPECT_NEAR(static_cast<double>(there) / here, 3.0, 0.05);
}

std::string selfPath() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

int lineCount(const std::string& text) {
  int lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

TEST(PlatformX11Startup, NoDisplayIsOneLineAndNoWindow) {
  for (const char* display : {"DISPLAY", "DISPLAY=", "DISPLAY=:4242"}) {
    const ProcessResult run =
        runProcess({selfPath()}, "", {"VELKARRA_PLATFORM_CHILD=window", display});
    EXPECT_EQ(run.status, 0) << display;
    EXPECT_EQ(run.out, "not opened\n") << display;
    EXPECT_EQ(run.err.rfind("velkarra3d: cannot open the X display", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("--headless"), std::string::npos) << run.err;
    EXPECT_EQ(lineCount(run.err), 1) << run.err;
  }
}

TEST(PlatformX11Startup, NoAudioDeviceIsOneLineAndTheGameRunsSilently) {
  const std::string dir = makeTempDir("platform-noaudio");
  ASSERT_TRUE(writeFile(dir + "/tone.wav", wav(22050, 100)));
  const ProcessResult run = runProcess(
      {selfPath()}, dir,
      {"VELKARRA_PLATFORM_CHILD=sound", "SDL_AUDIODRIVER=no_such", "VELKARRA_TEST_WAV=tone.wav"});
  removeTree(dir);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "opened\nplayed\n");
  EXPECT_EQ(run.err.rfind("velkarra3d: no audio device (", 0), 0u) << run.err;
  EXPECT_NE(run.err.find("); playing without sound\n"), std::string::npos) << run.err;
  EXPECT_EQ(lineCount(run.err), 1) << run.err;
}

TEST(PlatformX11Startup, SoundsOfTheSoundFolderAreDecodedBeforeTheFirstFrame) {
  const std::string dir = makeTempDir("platform-preload");
  ASSERT_EQ(mkdir((dir + "/s").c_str(), 0755), 0);
  ASSERT_TRUE(writeFile(dir + "/s/early.wav", wav(22050, 100)));
  const ProcessResult run =
      runProcess({selfPath()}, dir, {"VELKARRA_PLATFORM_CHILD=preload", "SDL_AUDIODRIVER=dummy"});
  removeTree(dir);
  EXPECT_EQ(run.out, "opened\npreloaded\n") << run.err;
}

TEST(PlatformX11Startup, SystemAudioSaysAtMostOneLine) {
  // With SDL's own choice of driver: on a machine without a sound card (like
  // the build machines) the driver's chatter must not add to our one line.
  const ProcessResult run =
      runProcess({selfPath()}, "", {"VELKARRA_PLATFORM_CHILD=sound", "SDL_AUDIODRIVER"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "opened\nplayed\n");
  EXPECT_LE(lineCount(run.err), 1) << run.err;
  if (!run.err.empty()) {
    EXPECT_EQ(run.err.rfind("velkarra3d: no audio device (", 0), 0u) << run.err;
  }
}

}  // namespace
