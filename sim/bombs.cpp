// bombs.cpp: bombs fly straight at the cannon; one that reaches it costs a
// life. The missile can take them out of the air.
#include "game/sounds.h"
#include "sim/sim.h"

void updateBombs(float dt) {
  for (Bomb& b : bombs) {
    if (!b.active) continue;
    b.pos.x += b.vel.x * dt;
    b.pos.y += b.vel.y * dt;
    b.pos.z += b.vel.z * dt;
    posedBox(b.modelBox, b.pos.x, b.pos.y, b.pos.z, b.yaw, b.pitch, &b.worldBox);

    if (missile.active && boxesOverlap(&missile.worldBox, &b.worldBox)) {
      missile.active = 0;
      downBomb(b);
    } else if (boxesOverlap(&cannon.worldBox, &b.worldBox)) {
      playSound(soundCannonHit);
      game.lives -= 1;
      b.active = 0;
      spawnExplosion(b.pos.x, b.pos.y, b.pos.z, materialBomb, settings.impactBlastSize,
                     settings.impactBlastCount);
    }
    // Below the plane z = 0 a bomb is gone without a trace.
    if (b.pos.z <= 0) b.active = 0;
  }
}
