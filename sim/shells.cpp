// shells.cpp: the cannon's shells and the firing step. Shells fly straight
// without gravity and end at their first hit, outside the arena or in the
// ground.
#include <cmath>

#include "game/sounds.h"
#include "sim/sim.h"
#include "terrain/terrain.h"

namespace {

// The first target the shell's box meets, planes first, then troopers (body
// before chute), then bombs, is destroyed. Returns true when the shell is
// spent.
bool hitSomething(Shell& shell) {
  for (Plane& plane : planes) {
    if (!plane.active || !boxesOverlap(&shell.worldBox, &plane.worldBox)) continue;
    shell.active = 0;
    downPlane(plane);
    return true;
  }
  for (Trooper& t : troopers) {
    if (!t.active) continue;
    if (boxesOverlap(&shell.worldBox, &t.worldBox)) {
      shell.active = 0;
      killTrooper(t);
      return true;
    }
    if (t.chuteOpen && boxesOverlap(&shell.worldBox, &t.chuteWorldBox)) {
      shell.active = 0;
      tearChute(t);
      return true;
    }
  }
  for (Bomb& bomb : bombs) {
    if (!bomb.active || !boxesOverlap(&shell.worldBox, &bomb.worldBox)) continue;
    shell.active = 0;
    downBomb(bomb);
    return true;
  }
  return false;
}

}  // namespace

void fireWeapons(uint32_t now, const FrameInput& input) {
  if (missile.active) return;
  // The first shell of a level is never held back: after a level start
  // lastShotMs is 0, and once the tick count passes 2^31 the signed
  // difference to it would be negative and hold every shell back.
  if (keyDown(input, keyLButton) &&
      (!firedThisLevel || static_cast<int32_t>(now - lastShotMs) > 500)) {
    if (Shell* shell = firstFree(shells)) {
      float yaw = camera.yaw, pitch = camera.pitch;
      shell->pos = {0, 0, 0};
      shell->yaw = yaw;
      shell->pitch = pitch;
      shell->lifeMs = 10000;
      shell->active = 1;
      lastShotMs = now;
      firedThisLevel = 1;
      double cosPitch = cos(static_cast<double>(pitch));
      shell->vel = {
          static_cast<float>(settings.shellSpeed * (cos(static_cast<double>(yaw)) * cosPitch)),
          static_cast<float>(settings.shellSpeed * (sin(static_cast<double>(yaw)) * cosPitch)),
          static_cast<float>(settings.shellSpeed * sin(static_cast<double>(pitch)))};
    }
  }
  if (keyDown(input, keyRButton)) launchMissile(now);
}

void updateShells(float dt) {
  float h = settings.arenaHalfSize;
  for (Shell& shell : shells) {
    if (!shell.active) continue;
    shell.pos.x += shell.vel.x * dt;
    shell.pos.y += shell.vel.y * dt;
    shell.pos.z += shell.vel.z * dt;
    shell.lifeMs = truncToInt32(static_cast<float>(shell.lifeMs) - dt * 1000.0f);
    posedBox(shell.modelBox, shell.pos.x, shell.pos.y, shell.pos.z, shell.yaw, shell.pitch,
             &shell.worldBox);
    if (hitSomething(shell)) continue;
    if (fabsf(shell.pos.x) > h || fabsf(shell.pos.y) > h ||
        shell.pos.z > 2 * settings.planeMaxAltitude) {
      shell.active = 0;  // gone without a sound
      continue;
    }
    if (terrainHeight(shell.pos.x, shell.pos.y) >= shell.pos.z) {
      spawnExplosion(shell.pos.x, shell.pos.y, shell.pos.z, materialShell, settings.impactBlastSize,
                     settings.impactBlastCount);
      playSound(soundBurst);
      shell.active = 0;
    }
  }
}
