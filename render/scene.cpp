// scene.cpp: draws one frame of the world: sky, terrain, every entity, the
// shards, the missile and the cannon, then the overlay.
#include <GL/gl.h>

#include "render/detail.h"
#include "render/render.h"
#include "app/startup.h"
#include "sim/sim.h"
#include "terrain/terrain.h"

namespace {

// Degrees per radian as the game has always used it: 180 / 3.141593f.
constexpr double degreesPerRadian = 57.29577357044915;

void rotateYawPitch(float yaw, float pitch) {
  glRotatef(static_cast<float>(yaw * degreesPerRadian), 0, 0, 1);
  glRotatef(static_cast<float>(pitch * degreesPerRadian), 0, -1, 0);
}

}  // namespace

void drawPlane(const Plane* plane) {
  applyMaterial(&planeMaterial);
  glPushMatrix();
  glTranslatef(plane->pos.x, plane->pos.y, plane->pos.z);
  glRotatef(static_cast<float>(plane->heading * degreesPerRadian), 0, 0, 1);
  glCallList(planeList);
  glPopMatrix();
}

void drawTrooper(const Trooper* trooper) {
  glPushMatrix();
  glTranslatef(trooper->pos.x, trooper->pos.y, trooper->pos.z);
  glRotatef(static_cast<float>(trooper->spin * degreesPerRadian), 0, 0, 1);
  glRotatef(static_cast<float>(trooper->tilt * degreesPerRadian), 0, -1, 0);
  applyMaterial(&trooperMaterial);
  glCallList(trooperList);
  if (trooper->chuteOpen) {
    applyMaterial(&chuteMaterial);
    glCallList(chuteList);
  }
  glPopMatrix();
}

void drawBomb(const Bomb* bomb) {
  applyMaterial(&bombMaterial);
  glPushMatrix();
  glTranslatef(bomb->pos.x, bomb->pos.y, bomb->pos.z);
  rotateYawPitch(bomb->yaw, bomb->pitch);
  glCallList(bombList);
  glPopMatrix();
}

void drawShell(const Shell* shell) {
  applyMaterial(&shellMaterial);
  glPushMatrix();
  glTranslatef(shell->pos.x, shell->pos.y, shell->pos.z);
  rotateYawPitch(shell->yaw, shell->pitch);
  glCallList(shellList);
  glPopMatrix();
}

void drawFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (game.gameOver) {
    drawGameOver();
    return;
  }
  if (renderDetail == detailLow) {
    // The opaque ground first: the depth test then turns away the sky behind
    // it, about half of the sky's pixels. The rim blends over the sky.
    glCallList(terrainList);
    drawSky();
    drawTerrainRim();
  } else {
    drawSky();
    glCallList(terrainList);
  }
  for (const Plane& plane : planes)
    if (plane.active) drawPlane(&plane);
  for (const Trooper& trooper : troopers)
    if (trooper.active) drawTrooper(&trooper);
  for (const Bomb& bomb : bombs)
    if (bomb.active) drawBomb(&bomb);
  for (const Shell& shell : shells)
    if (shell.active) drawShell(&shell);
  lastShardMaterial = nullptr;
  for (const Particle& shard : particles)
    if (shard.active) drawShard(&shard);
  if (missile.active) {
    applyMaterial(&bombMaterial);
    glPushMatrix();
    glTranslatef(missile.pos.x, missile.pos.y, missile.pos.z);
    rotateYawPitch(missile.yaw, missile.pitch);
    glCallList(missileList);
    glPopMatrix();
  }
  applyMaterial(&cannonMaterial);
  glPushMatrix();
  glTranslatef(cannon.pos.x, cannon.pos.y, cannon.pos.z);
  rotateYawPitch(cannon.yaw, cannon.pitch);
  glCallList(cannonList);
  glPopMatrix();
  drawOverlay();
}
