// frame.cpp: the heartbeat of the game. One timer callback runs a whole
// frame: time, pause, input, firing, the entity updates, the level and
// game-over rules and the drawing. The keyboard callback toggles pause and
// the camera lock.
#include "shell/frame.h"

#include <cmath>

#include "render/render.h"
#include "shell/camera.h"
#include "shell/options.h"
#include "shell/startup.h"
#include "shell/timedemo.h"
#include "shell/trace.h"
#include "shell/world.h"
#include "sim/sim.h"

uint32_t lastTickMs;
int32_t cursorCentre[2];
PlatWindow window;
FrameInfo lastFrame;

namespace {

// Mouse look and steering, the camera keys, Esc and firing: only while the
// window is active and the game is neither over nor paused.
void readInput(uint32_t now) {
  int x, y;
  platCursorPos(&x, &y);
  if (missile.active) {
    steerMissile(0.5f * static_cast<float>(x - cursorCentre[0]),
                 0.5f * static_cast<float>(cursorCentre[1] - y));
    posedBox(missile.modelBox, missile.pos.x, missile.pos.y, missile.pos.z, missile.yaw,
             missile.pitch, &missile.worldBox);
  } else {
    camera.yaw = camera.yaw + static_cast<float>(cursorCentre[0] - x) * 0.005f;
    camera.pitch = camera.pitch + static_cast<float>(cursorCentre[1] - y) * 0.005f;
  }
  if (camera.pitch >= 1.5707965f)
    camera.pitch = 1.5607965f;
  else if (camera.pitch <= -1.5707965f)
    camera.pitch = -1.5607965f;
  platSetCursorPos(cursorCentre[0], cursorCentre[1]);

  // Camera steps are per frame, along the aim yaw after this frame's look.
  double c = cos(static_cast<double>(camera.yaw));
  double s = sin(static_cast<double>(camera.yaw));
  Vec3& p = camera.pos;
  if (platKeyState('Q')) p.z = static_cast<float>(p.z + 0.5);
  if (platKeyState('E')) p.z = static_cast<float>(p.z - 0.5);
  if (platKeyState('W')) {
    p.x = static_cast<float>(p.x + 0.5 * c);
    p.y = static_cast<float>(p.y + 0.5 * s);
  }
  if (platKeyState('S')) {
    p.x = static_cast<float>(p.x - 0.5 * c);
    p.y = static_cast<float>(p.y - 0.5 * s);
  }
  if (platKeyState('A')) {
    p.x = static_cast<float>(p.x - 0.5 * s);
    p.y = static_cast<float>(p.y + 0.5 * c);
  }
  if (platKeyState('D')) {
    p.x = static_cast<float>(p.x + 0.5 * s);
    p.y = static_cast<float>(p.y - 0.5 * c);
  }
  if (platKeyState(platEscape)) shutdown();
  fireWeapons(now);
}

void runFrame() {
  uint32_t now = platTickMs();
  int32_t frameMs = static_cast<int32_t>(now - lastTickMs);
  lastTickMs = now;
  float dt = static_cast<float>(frameMs * 0.001);

  if (game.paused) {
    // Shift the absolute stamps by the paused time; everything else stands.
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

  platTimerFunc(frameTimerDelayMs(), frameTick, 0);

  if (platActiveWindow() != window) {
    platCursorPos(&cursorCentre[0], &cursorCentre[1]);
    if (game.gameOver) return;
  } else if (game.gameOver) {
    if (platKeyState('N')) {
      startLevel();
      game.gameOver = 0;
    }
    if (platKeyState('Y')) shutdown();
    return;
  } else if (!game.paused) {
    readInput(now);
  }

  updatePlanes(dt, now, frameMs);
  updateTroopers(dt, now);
  updateBombs(dt);
  updateShells(dt);
  updateMissile(dt, now);
  updateParticles(dt);
  if (missile.active) applyMissileCamera();

  if (game.lives <= 0) {
    game.level = game.level - 1;
    game.gameOver = 1;
    playSound("s\\game_over.wav");
  }
  if (game.planesLeft == 0) {
    startLevel();
    playSound("s\\tada.wav");
  }
  timedemoDrawStart();
  drawFrame();
}

}  // namespace

void frameTick(int) {
  lastFrame.number++;
  timedemoFrameStart();
  runFrame();
  timedemoFrameEnd();
  traceFrame(-1);
  if (runOptions.frames >= 0 && lastFrame.number >= runOptions.frames) endRun();
}

void onKey(unsigned char key, int, int) {
  if (key == 'p') game.paused = !game.paused;
  if (platKeyState('G')) game.cameraLock = !game.cameraLock;
}
