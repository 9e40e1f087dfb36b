// frame.cpp: the heartbeat of the game. One timer callback runs a whole
// frame: the input record, time, pause, the cursor's hold point, the
// game-over answer, aiming, the camera keys, Esc, firing, the entity updates,
// the level and game-over rules and the drawing. The keyboard callback
// toggles pause and the camera lock.
#include "app/frame.h"

#include <cmath>

#include "render/render.h"
#include "render/camera.h"
#include "game/input.h"
#include "app/options.h"
#include "session/replay.h"
#include "app/startup.h"
#include "session/timedemo.h"
#include "session/trace.h"
#include "game/world.h"
#include "sim/sim.h"

uint32_t lastTickMs;
int32_t cursorCentre[2];
PlatWindow window;
FrameInfo lastFrame;

namespace {

constexpr float lookPerPixel = 0.005f;    // radians of aim per pixel
constexpr float steerPerPixel = 0.5f;     // degrees of missile turn per pixel
constexpr float pitchLimit = 1.5707965f;  // an aim pitch this steep or more...
constexpr float pitchBack = 1.5607965f;   // ...is put back to this
constexpr double cameraStep = 0.5;        // free camera step per frame

// Time: the tick of this frame, the step since the previous one. While
// paused the absolute stamps move on with the clock and the step is 0.
void advanceClock(uint32_t now) {
  int32_t frameMs = static_cast<int32_t>(now - lastTickMs);
  lastTickMs = now;
  float dt = static_cast<float>(frameMs * 0.001);
  if (game.paused) {
    for (Trooper& trooper : troopers)
      if (trooper.active) trooper.dropTime += frameMs;
    lastShotMs += frameMs;
    if (missile.active) missile.launchMs += frameMs;
    dt = 0;
    frameMs = 0;
  }
  lastFrame.now = now;
  lastFrame.frameMs = frameMs;
  lastFrame.dt = dt;
}

// While the window is inactive the hold point follows the cursor; it never
// lies outside the window's picture or near its edge.
void placeHoldPoint(const FrameInput& in) {
  if (!in.active) {
    cursorCentre[0] = in.cursorX;
    cursorCentre[1] = in.cursorY;
  }
  keepHoldPointInside(cursorCentre, in.client);
}

// N replays the lost level, Y ends the game (both: the level restarts, then
// the game ends).
void answerGameOver(const FrameInput& in) {
  if (keyDown(in, keyN)) {
    startLevel();
    game.gameOver = 0;
  }
  if (keyDown(in, keyY)) shutdown();
}

// The cursor's offset from the hold point steers the flying missile, or else
// turns the aim; the pitch stays just inside straight up and down.
void aimOrSteer(const FrameInput& in) {
  const int32_t dx = in.cursorX - cursorCentre[0];
  const int32_t dy = cursorCentre[1] - in.cursorY;
  if (missile.active) {
    steerMissile(steerPerPixel * static_cast<float>(dx), steerPerPixel * static_cast<float>(dy));
    posedBox(missile.modelBox, missile.pos.x, missile.pos.y, missile.pos.z, missile.yaw,
             missile.pitch, &missile.worldBox);
  } else {
    camera.yaw = camera.yaw + static_cast<float>(-dx) * lookPerPixel;
    camera.pitch = camera.pitch + static_cast<float>(dy) * lookPerPixel;
  }
  if (camera.pitch >= pitchLimit)
    camera.pitch = pitchBack;
  else if (camera.pitch <= -pitchLimit)
    camera.pitch = -pitchBack;
}

// Q/E up and down, W/S along the aim yaw, A/D across it: a step per frame.
void moveFreeCamera(const FrameInput& in) {
  double c = cos(static_cast<double>(camera.yaw));
  double s = sin(static_cast<double>(camera.yaw));
  Vec3& p = camera.pos;
  if (keyDown(in, keyQ)) p.z = static_cast<float>(p.z + cameraStep);
  if (keyDown(in, keyE)) p.z = static_cast<float>(p.z - cameraStep);
  if (keyDown(in, keyW)) {
    p.x = static_cast<float>(p.x + cameraStep * c);
    p.y = static_cast<float>(p.y + cameraStep * s);
  }
  if (keyDown(in, keyS)) {
    p.x = static_cast<float>(p.x - cameraStep * c);
    p.y = static_cast<float>(p.y - cameraStep * s);
  }
  if (keyDown(in, keyA)) {
    p.x = static_cast<float>(p.x - cameraStep * s);
    p.y = static_cast<float>(p.y + cameraStep * c);
  }
  if (keyDown(in, keyD)) {
    p.x = static_cast<float>(p.x + cameraStep * s);
    p.y = static_cast<float>(p.y - cameraStep * c);
  }
}

void loseGame() {
  game.level = game.level - 1;
  game.gameOver = 1;
  playSound("s\\game_over.wav");
}

void clearLevel() {
  startLevel();
  playSound("s\\tada.wav");
}

void runFrame() {
  sampleInput(&frameInput);
  const FrameInput& in = frameInput;
  advanceClock(in.tickMs);
  platTimerFunc(frameTimerDelayMs(), frameTick, 0);
  placeHoldPoint(in);
  if (game.gameOver) {  // nothing moves and nothing is drawn
    if (in.active) answerGameOver(in);
    return;
  }
  const bool playing = in.active && !game.paused;
  if (playing) aimOrSteer(in);
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
  if (missile.active) applyMissileCamera();
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

void applyKeyEvent(unsigned char key, bool gDown) {
  if (key == 'p') game.paused = !game.paused;
  if (gDown) game.cameraLock = !game.cameraLock;
}

void displayFrame() {
  drawFrame();
  platSwapBuffers();
}

void onKey(unsigned char key, int, int) { applyKeyEvent(key, noteKeyEvent(key)); }
