// comforts.cpp: full screen, screenshots, the frame counter and the mute
// key, and the volume the options ask for.
#include "app/comforts.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/options.h"
#include "base/printable.h"
#include "base/program.h"
#include "base/xdg.h"
#include "platform/platform.h"
#include "render/frame_counter.h"

namespace {

bool muted;
bool fullScreen;  // as the player last asked: F11, Alt+Enter, --fullscreen or Options

void applyVolume() { platSoundVolume(muted ? 0 : static_cast<int>(runOptions.volume)); }

}  // namespace

void startComforts() {
  muted = runOptions.mute;
  fullScreen = runOptions.fullscreen;
  applyVolume();
  resetFrameCounter();
  showFrameCounter(runOptions.showFps);
}

void applyComfortKeys(const FrameInput& in, bool desktopKeys) {
  countFrame(in.tickMs);
  if (keyPressed(in, keyF9)) showFrameCounter(!frameCounterShown());
  const bool desktop = desktopKeys;
  if (desktop && (keyPressed(in, keyF11) || keyPressed(in, keyAltEnter))) {
    platToggleFullScreen();
    fullScreen = !fullScreen;
  }
  if (desktop && keyPressed(in, keyF12)) saveScreenshotNow();
  if (keyPressed(in, keyM)) {
    muted = !muted;
    applyVolume();
  }
}

bool soundMuted() { return muted; }

void setSoundMuted(bool on) {
  muted = on;
  applyVolume();
}

void setSoundVolume(int percent) {
  runOptions.volume = static_cast<uint32_t>(percent < 0 ? 0 : percent > 100 ? 100 : percent);
  applyVolume();
}

bool fullScreenNow() { return fullScreen; }

void setFullScreen(bool on) {
  if (on == fullScreen) return;
  platToggleFullScreen();
  fullScreen = on;
}

// Silence while a watched recording skips ahead (app/watch.h).
void holdSound(bool hold) {
  if (hold)
    platSoundVolume(0);
  else
    applyVolume();
}

bool claimScreenshotName(const char* folder, const tm& when, char* out, size_t size) {
  char stamp[32];
  strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &when);
  for (int n = 0; n < 1000; n++) {
    char suffix[16] = "";
    if (n > 0) snprintf(suffix, sizeof suffix, "-%d", n);
    const int written = snprintf(out, size, "%s/velkarra3d-%s%s.png", folder, stamp, suffix);
    if (written < 0 || static_cast<size_t>(written) >= size) {
      errno = ENAMETOOLONG;
      return false;
    }
    // O_EXCL: the name is ours only if the file did not exist.
    const int fd = open(out, O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd >= 0) {
      close(fd);
      return true;
    }
    if (errno != EEXIST) return false;
  }
  errno = EEXIST;
  return false;
}

bool saveScreenshotNow() {
  char folder[4096], path[4200];
  if (!xdgDataFolder(folder, sizeof folder - 16)) {
    fprintf(stderr, "%s: cannot save a screenshot: neither XDG_DATA_HOME nor HOME is a full path\n",
            programName);
    return false;
  }
  strcat(folder, "/screenshots");
  const time_t now = time(nullptr);
  tm when;
  localtime_r(&now, &when);
  if (!makeFolders(folder) || !claimScreenshotName(folder, when, path, sizeof path)) {
    fprintf(stderr, "%s: cannot save a screenshot in %s: %s\n", programName, printable(folder),
            strerror(errno));
    return false;
  }
  if (!platSaveScreenshot(path)) {
    remove(path);  // the empty file claimed for it
    return false;
  }
  printf("%s\n", path);
  fflush(stdout);
  return true;
}
