// frame.cpp: the heartbeat of the game. One timer callback runs a whole
// frame, each step one line of runFrame; the keyboard callback toggles the
// pause and the camera lock.
#include "app/frame.h"

#include "app/comforts.h"
#include "app/ending.h"
#include "app/options.h"
#include "app/screens.h"
#include "app/source.h"
#include "game/bindings.h"
#include "game/clock.h"
#include "game/input.h"
#include "game/rules.h"
#include "game/world.h"
#include "platform/platform.h"
#include "render/render.h"
#include "session/replay.h"
#include "session/timedemo.h"
#include "session/trace.h"
#include "sim/sim.h"

namespace {

// The pause the picture on the screen shows (the note "Paused - press P").
bool pauseShown;

// Whether the frame that runs is drawn: a watched recording runs the frames
// it skips (or catches up on) without drawing them (app/watch.h).
bool drawing = true;

// The pointer is the game's while the input comes from the platform; a
// replay leaves it to whoever watches.
bool ownsPointer() { return inputSource() != inputFromReplay; }

// Draws the frame and shows it; headless --draw-every skips some frames.
void showFrame() {
  if (!drawing || !drawsFrame(lastFrame.number)) return;
  timedemoDrawStart();
  fillScreenPicture();
  drawFrame();
  pauseShown = game.paused != 0;
  platSwapBuffers();
}

// N replays the lost level, Y ends the game (both: the level restarts, then
// the game ends).
void answerGameOver(const FrameInput& in) {
  if (keyDown(in, keyN)) replayLevel();
  if (keyDown(in, keyY)) shutdown();
}

void runFrame() {
  sampleInput(&frameInput);
  const FrameInput& in = frameInput;
  noteFocus(in.active);  // with pause-on-focus-loss, losing the focus pauses
  advanceClock(in.tickMs);
  applyComfortKeys(in, desktopKeysAct());  // F9, F11, Alt+Enter, F12, M: not the world's
  // hidden: nothing drawn, at most 60 frames a second
  const bool shown = drawing && platWindowShown();
  platTimerFunc(shown ? frameTimerDelayMs() : hiddenFrameTimerDelayMs(), frameTick, 0);
  placeHoldPoint(in);
  const AimOffset aim = steadyAimOffset(in, in.active && !game.paused && !game.gameOver);
  if (game.gameOver) {  // nothing moves; the screen is drawn again for the pause and its menus
    if (in.active) answerGameOver(in);
    if (shown && game.gameOver && ((game.paused != 0) != pauseShown || game.paused)) showFrame();
    return;
  }
  const bool playing = in.active && !game.paused;
  if (playing) aimOrSteer(aim.dx, aim.dy);
  if (playing && ownsPointer()) platSetCursorPos(cursorCentre[0], cursorCentre[1]);
  if (playing) moveFreeCamera(in);
  if (playing && keyDown(in, keyEscape)) shutdown();
  if (playing) fireWeapons(lastFrame.now, in);
  updatePlanes(lastFrame.dt, lastFrame.now, lastFrame.frameMs);
  updateTroopers(lastFrame.dt, lastFrame.now);
  updateBombs(lastFrame.dt);
  updateShells(lastFrame.dt);
  updateMissile(lastFrame.dt, lastFrame.now);
  updateParticles(lastFrame.dt);
  if (missile.active) lookFromMissile();
  if (game.lives <= 0) loseGame();
  if (game.planesLeft == 0) clearLevel();
  if (shown && screenFrameChanged()) showFrame();  // paused, a frame shows the same picture
}

}  // namespace

void frameTick(int) {
  // SIGINT, SIGTERM, the window closed, or Quit on the pause menu
  if (platStopAsked() || screenQuitChosen()) stopBetweenFrames();
  lastFrame.number++;
  timedemoFrameStart();
  runFrame();
  timedemoFrameEnd();
  if (ownsPointer()) platConfinePointer(frameInput.active && !game.paused && !game.gameOver);
  afterScreenFrame();
  traceFrame(-1);
  if (runOptions.shotEvery > 0 && lastFrame.number % runOptions.shotEvery == 0)
    saveFrameShot(lastFrame.number);
  if (runOptions.frames >= 0 && lastFrame.number >= runOptions.frames) endRun();
  if (replayFinished()) endRun();
}

void runFrameDrawn(bool draw) {
  drawing = draw;
  frameTick(0);
  drawing = true;
}

void displayFrame() {
  fillScreenPicture();
  drawFrame();
  pauseShown = game.paused != 0;
  platSwapBuffers();
}

// A replay brings its recorded keys; one pressed now would change its world.
void onKey(unsigned char key, int, int) {
  if (inputSource() == inputFromReplay) return;
  const uint32_t sym = platCharSym(key);
  if (!screenKey(sym, key)) noteKeyPress(sym, key);
}

void onSpecialKey(uint32_t sym) {
  if (inputSource() == inputFromReplay) return;
  if (!screenKey(sym, 0)) noteKeyPress(sym, 0);
}
