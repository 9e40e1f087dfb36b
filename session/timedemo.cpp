// timedemo.cpp: per-frame timing marks, their summary, and frame pacing.
#include "session/timedemo.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>

#include "platform/platform.h"

namespace {

// Samples kept per run; a longer run still counts its frames and seconds.
constexpr int32_t maxSamples = 1 << 20;
float updateMs[maxSamples];
float drawMs[maxSamples];
float scratch[maxSamples];

struct Marks {
  int32_t frames;     // frames ended, the first one included
  int32_t samples;    // frames whose update and draw times are kept
  uint64_t firstEnd;  // end of the first frame: the figures start here
  uint64_t lastEnd;
  uint64_t frameStart;
  uint64_t drawStart;  // 0 while the frame has not started drawing
  uint64_t nextDue;    // --max-fps: when the next frame may start
};
Marks marks;
bool timing;      // --timedemo: the marks are kept
uint32_t maxFps;  // --max-fps, or 0

// The value below which `share` of the samples lie (nearest rank).
double percentile(const float* values, int32_t count, double share) {
  if (count == 0) return 0;
  std::copy(values, values + count, scratch);
  int32_t rank = static_cast<int32_t>(share * count + 0.999999);
  if (rank < 1) rank = 1;
  if (rank > count) rank = count;
  std::nth_element(scratch, scratch + rank - 1, scratch + count);
  return scratch[rank - 1];
}

}  // namespace

void timedemoFrameStart() {
  if (!timing) return;
  marks.frameStart = platPerfMicros();
  marks.drawStart = 0;
}

void timedemoDrawStart() {
  if (timing) marks.drawStart = platPerfMicros();
}

void timedemoFrameEnd() {
  if (!timing) return;
  // Software GL draws behind the caller's back: wait for the pixels so that
  // the frame's cost lands on the frame that caused it.
  glFinish();
  uint64_t end = platPerfMicros();
  uint64_t drawStart = marks.drawStart ? marks.drawStart : end;
  if (marks.frames == 0) {
    marks.firstEnd = end;
  } else if (marks.samples < maxSamples) {
    updateMs[marks.samples] = static_cast<float>((drawStart - marks.frameStart) * 0.001);
    drawMs[marks.samples] = static_cast<float>((end - drawStart) * 0.001);
    marks.samples++;
  }
  marks.frames++;
  marks.lastEnd = end;
}

unsigned frameTimerDelayMs() {
  if (timing) return 0;
  if (maxFps == 0) return 1;
  uint64_t now = platPerfMicros();
  uint64_t period = (1000000u + maxFps - 1) / maxFps;
  // Start the schedule afresh at the first frame and after falling behind,
  // so a slow stretch is not made up for by a burst.
  if (marks.nextDue == 0 || now > marks.nextDue + period) marks.nextDue = now;
  marks.nextDue += period;
  uint64_t wait = marks.nextDue > now ? marks.nextDue - now : 0;
  unsigned ms = static_cast<unsigned>((wait + 999) / 1000);
  return ms < 1 ? 1 : ms;
}

unsigned hiddenFrameTimerDelayMs() {
  constexpr unsigned sixtieth = 17;  // ms, rounded up
  const unsigned ms = frameTimerDelayMs();
  return ms < sixtieth ? sixtieth : ms;
}

TimedemoSummary timedemoSummary() {
  TimedemoSummary s = {};
  s.frames = marks.frames > 0 ? marks.frames - 1 : 0;
  s.seconds = marks.frames > 1 ? (marks.lastEnd - marks.firstEnd) * 1e-6 : 0;
  s.framesPerSecond = s.seconds > 0 ? s.frames / s.seconds : 0;
  s.updateMedianMs = percentile(updateMs, marks.samples, 0.5);
  s.updateP95Ms = percentile(updateMs, marks.samples, 0.95);
  s.drawMedianMs = percentile(drawMs, marks.samples, 0.5);
  s.drawP95Ms = percentile(drawMs, marks.samples, 0.95);
  return s;
}

void timedemoReport() {
  if (!timing) return;
  TimedemoSummary s = timedemoSummary();
  printf(
      "timedemo: %d frames, %.3f s, %.1f frames/s; update median %.3f ms, p95 %.3f ms; "
      "draw median %.3f ms, p95 %.3f ms\n",
      s.frames, s.seconds, s.framesPerSecond, s.updateMedianMs, s.updateP95Ms, s.drawMedianMs,
      s.drawP95Ms);
  fflush(stdout);
}

void timedemoReset() { marks = Marks{}; }

void setFramePacing(bool timed, uint32_t framesPerSecond) {
  timing = timed;
  maxFps = framesPerSecond;
}
