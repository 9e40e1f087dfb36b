// shells.cpp: the cannon's shells and the firing step. Shells fly straight
// without gravity and end at their first hit, outside the arena or in the
// ground.
#include <cmath>

#include "render/camera.h"
#include "sim/sim.h"
#include "terrain/terrain.h"

namespace {

// Ends the shell with a burst and a sound, as every hit does.
void burst(Shell& shell, const char* sound, float x, float y, float z, Material* material,
           float size, int32_t count) {
  playSound(sound);
  shell.active = 0;
  spawnExplosion(x, y, z, material, size, count);
}

// The first target the shell's box meets, planes first, then troopers (body
// before chute), then bombs. Returns true when the shell is spent.
bool hitSomething(Shell& shell) {
  for (Plane& plane : planes) {
    if (!plane.active || !boxesOverlap(&shell.worldBox, &plane.worldBox)) continue;
    plane.active = 0;
    burst(shell, "s\\exp_plane.wav", plane.pos.x, plane.pos.y, plane.pos.z, &planeMaterial,
          settings.planeBlastSize, settings.planeBlastCount);
    game.points += settings.pointsPerPlane;
    game.planesLeft -= 1;
    return true;
  }
  for (Trooper& t : troopers) {
    if (!t.active) continue;
    if (boxesOverlap(&shell.worldBox, &t.worldBox)) {
      t.active = 0;
      burst(shell, "s\\exp_trooper.wav", t.pos.x, t.pos.y, t.pos.z, &trooperMaterial,
            settings.trooperBlastSize, settings.trooperBlastCount);
      game.points += settings.pointsPerTrooper;
      return true;
    }
    if (t.chuteOpen && boxesOverlap(&shell.worldBox, &t.chuteWorldBox)) {
      t.chuteOpen = 0;
      t.chuteShot = 1;
      burst(shell, "s\\exp_can.wav", t.pos.x, t.pos.y, t.pos.z + 2.0f, &chuteMaterial,
            settings.chuteBlastSize, settings.chuteBlastCount);
      game.points += settings.pointsPerTrooper;
      return true;
    }
  }
  for (Bomb& bomb : bombs) {
    if (!bomb.active || !boxesOverlap(&shell.worldBox, &bomb.worldBox)) continue;
    bomb.active = 0;
    burst(shell, "s\\exp_bomb.wav", bomb.pos.x, bomb.pos.y, bomb.pos.z, &bombMaterial,
          settings.impactBlastSize, settings.impactBlastCount);
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
      spawnExplosion(shell.pos.x, shell.pos.y, shell.pos.z, &shellMaterial,
                     settings.impactBlastSize, settings.impactBlastCount);
      playSound("s\\exp_can.wav");
      shell.active = 0;
    }
  }
}
