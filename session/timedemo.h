// timedemo.h: timing the frame loop (--timedemo) and pacing it (--max-fps).
//
// The frame loop marks the start of each frame, the start of its drawing and
// its end; with --timedemo the marks are timed on the platform's precise
// clock and the run's end prints one summary line on stdout. The frame loop
// also asks here how long to arm its timer for: 0 in a timedemo, the rest
// of the frame's period under --max-fps, 1 ms otherwise. Nothing here
// touches the world.
#pragma once

#include <cstdint>

void timedemoFrameStart();
void timedemoDrawStart();  // before drawFrame; a frame that draws nothing skips it
void timedemoFrameEnd();

// Milliseconds to arm the frame timer with, called once per frame where the
// timer is re-armed.
unsigned frameTimerDelayMs();

// The same while the window cannot be seen: at least a 60th of a second, so
// that a hidden game, which draws nothing, does not spin.
unsigned hiddenFrameTimerDelayMs();

// The figures of a timed run so far (the first frame is left out).
struct TimedemoSummary {
  int32_t frames;
  double seconds;
  double framesPerSecond;
  double updateMedianMs, updateP95Ms;
  double drawMedianMs, drawP95Ms;
};
TimedemoSummary timedemoSummary();

// Prints the summary line when this run is a timedemo; called at the run's end.
void timedemoReport();

// Forgets every mark (a new run in the same process).
void timedemoReset();

// Chosen by start-up from the command line: whether this run is a timedemo
// (its frames are timed, and run back to back), and the --max-fps cap (0 for
// none) of other runs.
void setFramePacing(bool timed, uint32_t framesPerSecond);
