// Counts the heap allocations the game's own code makes while it plays.
// This binary replaces malloc, calloc, realloc and operator new with
// counters that note every call whose caller lies in the executable's own
// code (the game, its platform layer and this test), and passes everything
// on to the C library. Calls made by the GL driver or by the C library on
// its own account are not the game's and are not counted.
#include <fcntl.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "app/options.h"
#include "game/world.h"
#include "game_support.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "session/replay.h"
#include "session/timedemo.h"

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void __libc_free(void* p);
extern char __executable_start;
extern char etext;
}

namespace {

std::atomic<long> ownAllocations{0};

void note(const void* caller) {
  if (caller >= &__executable_start && caller < &etext) ownAllocations++;
}

}  // namespace

extern "C" void* malloc(size_t size) {
  note(__builtin_return_address(0));
  return __libc_malloc(size);
}
extern "C" void* calloc(size_t count, size_t size) {
  note(__builtin_return_address(0));
  return __libc_calloc(count, size);
}
extern "C" void* realloc(void* p, size_t size) {
  note(__builtin_return_address(0));
  return __libc_realloc(p, size);
}
extern "C" void free(void* p) { __libc_free(p); }

void* operator new(size_t size) {
  note(__builtin_return_address(0));
  void* p = __libc_malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  return p;
}
void* operator new[](size_t size) {
  note(__builtin_return_address(0));
  void* p = __libc_malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  return p;
}
void operator delete(void* p) noexcept { __libc_free(p); }
void operator delete[](void* p) noexcept { __libc_free(p); }
void operator delete(void* p, size_t) noexcept { __libc_free(p); }
void operator delete[](void* p, size_t) noexcept { __libc_free(p); }

namespace {

TEST_F(GameTest, PlayAllocatesNothingOnTheHeap) {
  long before = ownAllocations;
  start();
  EXPECT_GT(ownAllocations - before, 0) << "start-up loads models: the counter must see that";
  runFrames(5);  // the first frames may warm caches of the driver

  // Timing marks on, as in a timedemo: they must not allocate either.
  setFramePacing(true, 0);
  before = ownAllocations;
  headlessKeyDown(platLButton);
  for (int f = 0; f < 400; f++) {
    if (f % 40 == 0) headlessMoveCursor(f % 80 == 0 ? -25 : 25, f % 120 == 0 ? -8 : 4);
    if (f == 60 || f == 260) headlessKeyTap(platRButton);
    if (f == 150 || f == 160) headlessChar('p');
    // The screens while paused, looked at and walked through (a change
    // written to the configuration file may allocate; none is made here).
    const uint32_t walk[] = {platSymDown, platSymReturn, platSymDown, platSymEscape,
                             platSymDown, platSymReturn, platSymF1,   platSymEscape};
    if (f > 150 && f < 160 && f - 151 < 8) headlessSymTap(walk[f - 151]);
    if (f == 180) game.planesLeft = 0;  // the level is cleared: the next one starts
    if (f == 300) game.lives = 0;       // the game is lost ...
    if (f == 310) headlessKeyTap('N');  // ... and replayed
    runFrames(1);
  }
  headlessKeyUp(platLButton);
  long during = ownAllocations - before;
  setFramePacing(false, 0);
  EXPECT_EQ(during, 0);
  EXPECT_GT(game.level, 1) << "the scenario should have reached level 2";
  EXPECT_EQ(game.paused, 0)
      << "the walk through the screens should have ended paused, and p resumed";
}

// Recorded as a kept run is, compressed, and to a plain --record file too:
// zlib's state is set up when the files open, and each frame is written
// through fixed buffers.
TEST_F(GameTest, RecordedPlayAllocatesNothingOnTheHeap) {
  const std::string dir = makeTempDir("allocrec");
  ASSERT_TRUE(recordOpen((dir + "/plain.v3drec").c_str()));
  ASSERT_TRUE(recordKeep(open((dir + "/kept.v3drec.gz").c_str(), O_WRONLY | O_CREAT, 0644),
                         "kept.v3drec.gz"));
  start();  // writes the header
  runOptions.drawEvery = 1000000;
  runFrames(5);
  const long before = ownAllocations;
  headlessKeyDown(platLButton);
  for (int f = 0; f < 2000; f++) {
    if (f % 40 == 0) headlessMoveCursor(f % 80 == 0 ? -25 : 25, f % 120 == 0 ? -8 : 4);
    if (f % 300 == 0) headlessChar('p');
    runFrames(1);
  }
  EXPECT_EQ(ownAllocations - before, 0);
  recordClose();
  EXPECT_TRUE(recordKeptWhole());
  // Both hold every frame: the plain file as written, the kept one as zcat
  // gives it back.
  const std::string plain = readFile(dir + "/plain.v3drec");
  EXPECT_NE(plain.find("\n2005 "), std::string::npos);
  EXPECT_TRUE(runProcess({"/bin/zcat", dir + "/kept.v3drec.gz"}).out == plain);
  removeTree(dir);
}

TEST_F(GameTest, PlayWithAPadAllocatesNothingOnTheHeap) {
  start();
  runOptions.drawEvery = 1000000;  // the drawing is the test above's: the pad's part is here
  ASSERT_TRUE(headlessPadPlug());
  runFrames(5);  // the pad opens (SDL's own allocations, not the game's)
  const long before = ownAllocations;
  for (int f = 0; f < 300; f++) {
    if (f % 50 == 0) headlessPadAxis(platPadRightX, f % 100 == 0 ? 30000 : -12000);
    headlessPadAxis(platPadRightTrigger, f % 20 < 10 ? 32767 : 0);
    headlessPadButton(platPadB, f == 60 || f == 200);
    headlessPadButton(platPadStart, f == 120 || f == 130);
    if (f == 150) game.lives = 0;
    headlessPadButton(platPadA, f == 160);
    runFrames(1);
  }
  EXPECT_EQ(ownAllocations - before, 0);
  EXPECT_EQ(game.gameOver, 0) << "A should have replayed the lost level";
}

}  // namespace
