// kills.cpp: what destroying each kind of target does, the same for a shell
// and for the missile.
#include "game/sounds.h"
#include "sim/sim.h"

void downPlane(Plane& plane) {
  plane.active = 0;
  playSound(soundPlaneDown);
  spawnExplosion(plane.pos.x, plane.pos.y, plane.pos.z, materialPlane, settings.planeBlastSize,
                 settings.planeBlastCount);
  game.points += settings.pointsPerPlane;
  game.planesLeft -= 1;
}

void killTrooper(Trooper& trooper) {
  trooper.active = 0;
  playSound(soundTrooperDown);
  spawnExplosion(trooper.pos.x, trooper.pos.y, trooper.pos.z, materialTrooper,
                 settings.trooperBlastSize, settings.trooperBlastCount);
  game.points += settings.pointsPerTrooper;
}

void tearChute(Trooper& trooper) {
  trooper.chuteOpen = 0;
  trooper.chuteShot = 1;
  playSound(soundBurst);
  spawnExplosion(trooper.pos.x, trooper.pos.y, trooper.pos.z + 2.0f, materialChute,
                 settings.chuteBlastSize, settings.chuteBlastCount);
  game.points += settings.pointsPerTrooper;
}

void downBomb(Bomb& bomb) {
  bomb.active = 0;
  playSound(soundBombDown);
  spawnExplosion(bomb.pos.x, bomb.pos.y, bomb.pos.z, materialBomb, settings.impactBlastSize,
                 settings.impactBlastCount);
}
