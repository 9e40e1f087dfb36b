// scene.cpp: draws one frame of the world from its view: sky, terrain, every
// entity, the shards, the missile and the cannon, then the overlay (and the
// note of the pause).
#include <GL/gl.h>

#include "render/detail.h"
#include "render/gl_objects.h"
#include "render/render.h"
#include "render/replay_hud.h"
#include "render/screen.h"
#include "render/terrain_draw.h"
#include "render/view.h"

const Material* lastShardMaterial;

namespace {

void rotateYawPitch(float yaw, float pitch) {
  glRotatef(static_cast<float>(yaw * degreesPerRadian), 0, 0, 1);
  glRotatef(static_cast<float>(pitch * degreesPerRadian), 0, -1, 0);
}

// A display list in its material at pos, turned by yaw and pitch.
void drawPosed(MaterialId material, const Vec3& pos, float yaw, float pitch, uint32_t list) {
  applyMaterial(&materials[material]);
  glPushMatrix();
  glTranslatef(pos.x, pos.y, pos.z);
  rotateYawPitch(yaw, pitch);
  glCallList(list);
  glPopMatrix();
}

}  // namespace

void drawPlane(const Plane* plane) {
  applyMaterial(&materials[materialPlane]);
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
  applyMaterial(&materials[materialTrooper]);
  glCallList(trooperList);
  if (trooper->chuteOpen) {
    applyMaterial(&materials[materialChute]);
    glCallList(chuteList);
  }
  glPopMatrix();
}

void drawBomb(const Bomb* bomb) {
  drawPosed(materialBomb, bomb->pos, bomb->yaw, bomb->pitch, bombList);
}

void drawShell(const Shell* shell) {
  drawPosed(materialShell, shell->pos, shell->yaw, shell->pitch, shellList);
}

void drawShard(const Particle* shard) {
  glPushMatrix();
  glTranslatef(shard->pos.x, shard->pos.y, shard->pos.z);
  glScalef(shard->size, shard->size, shard->size);
  rotateYawPitch(shard->yaw, shard->pitch);
  const Material* material = &materials[shard->material];
  if (material != lastShardMaterial) {
    applyMaterial(material);
    lastShardMaterial = material;
  }
  glNormal3f(-shard->size, 0, 0);
  glBegin(GL_POLYGON);
  glVertex3f(1, 1, -1);
  glVertex3f(1, -1, -1);
  glVertex3f(1, 0, 1);
  glEnd();
  glPopMatrix();
}

namespace {

// The world, the overlay and the notes: everything but a watched
// recording's own lines.
void drawScene() {
  loadView();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  // A screen other than the pause menu stands in the pause note's place.
  const ScreenPicture& screen = screenPicture;
  const bool ownPlace = screen.shown && !screen.underPauseNote;
  if (game.gameOver) {
    if (!ownPlace) drawGameOver();
    if (game.paused && !ownPlace) drawPausedNote();
    if (screen.shown) drawScreen(screen);
    return;
  }
  if (screen.shown) startScreenShade(screen);
  if (skyMeetsTheGround()) {
    // The sky passes through the ground here: it becomes the background,
    // its depth forgotten, and the ground is drawn whole over it.
    drawSky();
    glClear(GL_DEPTH_BUFFER_BIT);
    glCallList(terrainList);
    drawTerrainRim();
  } else if (renderDetail == detailLow) {
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
  if (missile.active) drawPosed(materialBomb, missile.pos, missile.yaw, missile.pitch, missileList);
  drawPosed(materialCannon, cannon.pos, cannon.yaw, cannon.pitch, cannonList);
  drawOverlay();
  if (!game.cameraLock) drawFreeCameraNote();
  if (screen.shown) endScreenShade();
  if (game.paused && !ownPlace) drawPausedNote();
  if (screen.shown) drawScreen(screen);
}

}  // namespace

void drawFrame() {
  drawScene();
  drawReplayHud();
}
