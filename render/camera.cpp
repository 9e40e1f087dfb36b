// camera.cpp: the aim vectors, the two views and the projection.
#include "render/camera.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "game/world.h"

Camera camera;
float lightPosition[4];
float aspect;

Vec3 dirFromAngles(float length, float yaw, float pitch) {
  double cosPitch = cos(static_cast<double>(pitch));
  return {static_cast<float>(length * cosPitch * cos(static_cast<double>(yaw))),
          static_cast<float>(length * cosPitch * sin(static_cast<double>(yaw))),
          static_cast<float>(length * sin(static_cast<double>(pitch)))};
}

Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

void applyCamera() {
  glLoadIdentity();
  double cosPitch = cos(static_cast<double>(camera.pitch));
  gluLookAt(camera.pos.x, camera.pos.y, camera.pos.z,
            camera.pos.x + cosPitch * cos(static_cast<double>(camera.yaw)),
            camera.pos.y + cosPitch * sin(static_cast<double>(camera.yaw)),
            camera.pos.z + sin(static_cast<double>(camera.pitch)), 0, 0, 1);
  glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
}

void applyMissileCamera() {
  glLoadIdentity();
  Vec3 eye = {missile.pos.x + 0.2f * missile.up.x, missile.pos.y + 0.2f * missile.up.y,
              missile.pos.z + 0.2f * missile.up.z};
  Vec3 centre = {eye.x + missile.forward.x, eye.y + missile.forward.y, eye.z + missile.forward.z};
  gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, missile.up.x, missile.up.y,
            missile.up.z);
  glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
}

void updateAim() {
  cannon.forward = dirFromAngles(1, camera.yaw, camera.pitch);
  cannon.right = dirFromAngles(1, camera.yaw - 1.5707965f, 0);
  cannon.up = cross(cannon.right, cannon.forward);
  cannon.yaw = camera.yaw;
  cannon.pitch = camera.pitch;
  if (game.cameraLock) {
    camera.pos.x = 0.6f * cannon.up.x - 0.4f * cannon.right.x;
    camera.pos.y = 0.6f * cannon.up.y - 0.4f * cannon.right.y;
    camera.pos.z = 0.6f * cannon.up.z - 0.4f * cannon.right.z;
  }
  applyCamera();
  posedBox(cannon.modelBox, cannon.pos.x, cannon.pos.y, cannon.pos.z, cannon.yaw, cannon.pitch,
           &cannon.worldBox);
}

void onReshape(int width, int height) {
  glViewport(0, 0, width, height);
  // A zero-sized window (minimised) keeps the last shape.
  if (width > 0 && height > 0) aspect = static_cast<float>(height) / static_cast<float>(width);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glFrustum(-0.1, 0.1, -0.1 * aspect, 0.1 * aspect, 0.1, 200);
  glMatrixMode(GL_MODELVIEW);
}
