// frame_counter.cpp: frames a second, counted over half-second spans of the
// frames' own ticks (so a headless run shows its scripted rate).
#include "render/frame_counter.h"

#include <cstdio>

namespace {

constexpr uint32_t spanMs = 500;

struct FrameCounter {
  bool shown;
  bool started;
  uint32_t spanStartMs;
  int32_t frames;  // since spanStartMs
  char text[32];
};
FrameCounter counter = {false, false, 0, 0, "-- fps"};

}  // namespace

void countFrame(uint32_t nowMs) {
  if (!counter.started) {
    counter.started = true;
    counter.spanStartMs = nowMs;
    counter.frames = 0;
    return;
  }
  counter.frames++;
  const uint32_t elapsed = nowMs - counter.spanStartMs;
  if (elapsed < spanMs) return;
  const double perSecond = counter.frames * 1000.0 / elapsed;
  snprintf(counter.text, sizeof counter.text, "%.0f fps", perSecond);
  counter.spanStartMs = nowMs;
  counter.frames = 0;
}

void showFrameCounter(bool shown) { counter.shown = shown; }

bool frameCounterShown() { return counter.shown; }

const char* frameCounterText() { return counter.text; }

void resetFrameCounter() { counter = FrameCounter{false, false, 0, 0, "-- fps"}; }
