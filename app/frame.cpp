// frame.cpp: the heartbeat of the game. One timer callback runs a whole
// frame, each step one line of runFrame; the keyboard callback toggles the
// pause and the camera lock.
#include "app/frame.h"

#include "app/comforts.h"
#include "app/ending.h"
#include "app/options.h"
#include "app/source.h"
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
  applyComfortKeys(in);  // F9, F11, Alt+Enter, F12, M: the player's, not the world's
  platTimerFunc(frameTimerDelayMs(), frameTick, 0);
  placeHoldPoint(in);
  if (game.gameOver) {  // nothing moves and nothing is drawn
    if (in.active) answerGameOver(in);
    return;
  }
  const bool playing = in.active && !game.paused;
  if (playing) aimOrSteer(in.cursorX - cursorCentre[0], cursorCentre[1] - in.cursorY);
  if (playing) platSetCursorPos(cursorCentre[0], cursorCentre[1]);
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
  const bool drawn = drawsFrame(lastFrame.number);  // headless --draw-every skips some
  if (drawn) timedemoDrawStart();
  if (drawn) drawFrame();
  if (drawn) platSwapBuffers();  // shows the frame
}

}  // namespace

void frameTick(int) {
  lastFrame.number++;
  timedemoFrameStart();
  runFrame();
  timedemoFrameEnd();
  platConfinePointer(frameInput.active && !game.paused && !game.gameOver);
  traceFrame(-1);
  if (runOptions.shotEvery > 0 && lastFrame.number % runOptions.shotEvery == 0)
    saveFrameShot(lastFrame.number);
  if (runOptions.frames >= 0 && lastFrame.number >= runOptions.frames) endRun();
  if (replayFinished()) endRun();
}

void displayFrame() {
  drawFrame();
  platSwapBuffers();
}

void onKey(unsigned char key, int, int) { applyKeyEvent(key, noteKeyEvent(key)); }
