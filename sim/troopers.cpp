// troopers.cpp: parachutists. A trooper falls freely, opens its chute after
// a fixed delay and sinks to the ground, where it costs points; a shot chute
// leaves it tumbling until it bursts on the ground.
#include "sim/sim.h"
#include "terrain/terrain.h"

void updateTroopers(float dt, uint32_t now) {
  for (Trooper& t : troopers) {
    if (!t.active) continue;
    t.pos.z += t.vz * dt;
    if (t.chuteOpen) {
      t.vz = t.vz + settings.chuteAccel * dt;
      if (!(t.vz < settings.chuteFallSpeedLimit)) t.vz = settings.chuteFallSpeedLimit;
    } else {
      t.vz = t.vz + settings.freeFallAccel * dt;
      if (t.chuteShot) {
        if (!(t.vz > settings.shotFallSpeedLimit)) t.vz = settings.shotFallSpeedLimit;
        t.tilt = 0.9599312f;
        t.spin = t.spin + 9 * dt;
      } else if (static_cast<int32_t>(now - t.dropTime) > settings.chuteOpenDelayMs) {
        t.chuteOpen = 1;  // brakes the fall from the next frame
      }
    }

    posedBox(t.modelBox, t.pos.x, t.pos.y, t.pos.z, 0, 0, &t.worldBox);
    posedBox(t.chuteModelBox, t.pos.x, t.pos.y, t.pos.z, 0, 0, &t.chuteWorldBox);

    if (missile.active) {
      if (boxesOverlap(&missile.worldBox, &t.worldBox)) {
        playSound("s\\exp_trooper.wav");
        missile.active = 0;
        t.active = 0;
        spawnExplosion(t.pos.x, t.pos.y, t.pos.z, &trooperMaterial, settings.trooperBlastSize,
                       settings.trooperBlastCount);
        game.points += settings.pointsPerTrooper;
      } else if (t.chuteOpen && boxesOverlap(&missile.worldBox, &t.chuteWorldBox)) {
        playSound("s\\exp_can.wav");
        missile.active = 0;
        t.chuteOpen = 0;
        t.chuteShot = 1;
        spawnExplosion(t.pos.x, t.pos.y, t.pos.z + 2, &chuteMaterial, settings.chuteBlastSize,
                       settings.chuteBlastCount);
        game.points += settings.pointsPerTrooper;
      }
    }

    // Landing is tested for every trooper that began the frame active, also
    // one the missile has just removed.
    if (t.pos.z <= terrainHeight(t.pos.x, t.pos.y)) {
      t.active = 0;
      if (!t.chuteShot) {
        game.points = game.points - settings.landingPenalty;
        if (game.points <= 0) game.points = 0;
      } else {
        spawnExplosion(t.pos.x, t.pos.y, t.pos.z, &trooperMaterial, settings.trooperBlastSize,
                       settings.trooperBlastCount);
        playSound("s\\exp_can.wav");
      }
    }
  }
}
