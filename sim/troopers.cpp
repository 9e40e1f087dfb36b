// troopers.cpp: parachutists. A trooper falls freely, opens its chute after
// a fixed delay and sinks to the ground, where it costs points; a shot chute
// leaves it tumbling until it bursts on the ground.
#include "game/sounds.h"
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
        missile.active = 0;
        killTrooper(t);
      } else if (t.chuteOpen && boxesOverlap(&missile.worldBox, &t.chuteWorldBox)) {
        missile.active = 0;
        tearChute(t);
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
        spawnExplosion(t.pos.x, t.pos.y, t.pos.z, materialTrooper, settings.trooperBlastSize,
                       settings.trooperBlastCount);
        playSound(soundBurst);
      }
    }
  }
}
