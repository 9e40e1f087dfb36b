// rules.cpp: the level start, the end of a level or a game, and the two
// toggle keys.
#include "game/rules.h"

#include "game/input.h"
#include "game/sounds.h"
#include "game/world.h"

void startLevel() {
  game.lives = settings.livesPerLevel;
  missile.active = 0;
  game.cameraLock = 1;
  // More planes than the pool holds could never all be shot down, so the
  // level could never end: the count is capped at the pool size.
  int32_t wave = settings.planesBase + game.level;
  game.planesLeft = wave > planePoolSize ? planePoolSize : wave;
  game.level = game.level + 1;
  float h = settings.arenaHalfSize;
  for (int i = 0; i < planePoolSize; i++) {
    Plane& plane = planes[i];
    if (i >= game.planesLeft) {
      plane.active = 0;
      continue;
    }
    plane.active = 1;
    plane.pos.x = randRange(-h, h);
    plane.pos.y = randRange(-h, h);
    plane.pos.z = randRange(settings.planeMinAltitude, settings.planeMaxAltitude);
    plane.heading = 0;
    plane.vel = {0, 0};
    plane.turnTimerMs = 0;
    plane.bombTimerMs = randIntervalMs(settings.bombDropMinMs, settings.bombDropMaxMs);
    plane.trooperTimerMs = randIntervalMs(settings.trooperDropMinMs, settings.trooperDropMaxMs);
  }
  for (Trooper& trooper : troopers) trooper.active = 0;
  for (Bomb& bomb : bombs) bomb.active = 0;
  for (Shell& shell : shells) shell.active = 0;
  lastShotMs = 0;
  firedThisLevel = 0;
  for (Particle& particle : particles) particle.active = 0;
  game.points = 0;
  cannon.pos = {0, 0, 0};
}

void loseGame() {
  game.level = game.level - 1;
  game.gameOver = 1;
  playSound(soundGameOver);
}

void clearLevel() {
  startLevel();
  playSound(soundLevelCleared);
}

void replayLevel() {
  startLevel();
  game.gameOver = 0;
}

void noteFocus(bool active) {
  if (worldOptions.pauseOnFocusLoss && game.wasActive && !active && !game.gameOver) game.paused = 1;
  game.wasActive = active;
}

void applyKeyEvent(unsigned char key, bool gDown) {
  if (key == 'p' || key == 'P') game.paused = !game.paused;
  if (gDown) game.cameraLock = !game.cameraLock;
}
