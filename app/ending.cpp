// ending.cpp: every way a run ends, and what each end finishes first.
#include "app/ending.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/options.h"
#include "app/source.h"
#include "game/setup.h"
#include "platform/platform.h"
#include "render/text.h"
#include "session/autoplay.h"
#include "session/replay.h"
#include "session/timedemo.h"
#include "session/trace.h"

namespace {

// What every end does first: the pointer is let go, the recording and the
// autoplayer's summary are finished.
void finishRun() {
  platConfinePointer(false);
  recordClose();
  if (inputSource() == inputFromAutoplay) printAutoplaySummary();
}

}  // namespace

void shutdown() { endProcess(1); }

void stopBetweenFrames() {
  finishRun();
  timedemoReport();
  traceClose();
  if (runOptions.screenshotFile) platSaveScreenshot(runOptions.screenshotFile);
  releaseAssets();
  fflush(stdout);
  exit(1);
}

void releaseAssets() {
  releaseModels();
  freeFont(&gameFont);
}

void endProcess(int status) {
  finishRun();
  timedemoReport();
  traceFrame(status);
  traceClose();
  // A run asked for a picture gets the last frame shown, however it ends;
  // in a window it is drawn again, so the assets go only after it.
  if (runOptions.screenshotFile) platSaveScreenshot(runOptions.screenshotFile);
  releaseAssets();
  fflush(stdout);
  exit(status);
}

void saveFrameShot(int32_t frame) {
  if (!runOptions.screenshotFile) return;
  const char* file = runOptions.screenshotFile;
  size_t stem = strlen(file);
  if (stem > 4 && strcmp(file + stem - 4, ".png") == 0) stem -= 4;
  char name[4200];
  snprintf(name, sizeof name, "%.*s-%06d.png", static_cast<int>(stem), file, frame);
  platSaveScreenshot(name);
}

void endRun() {
  finishRun();
  timedemoReport();
  if (runOptions.screenshotFile && !platSaveScreenshot(runOptions.screenshotFile)) {
    traceClose();
    exit(1);
  }
  traceClose();
  fflush(stdout);
  exit(0);
}
