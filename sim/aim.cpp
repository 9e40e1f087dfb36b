// aim.cpp: the aim the mouse turns, the cannon that follows it, the free
// camera, and the two views the picture is seen from.
#include <cmath>

#include "sim/sim.h"

namespace {

constexpr float pitchLimit = 1.5707965f;  // an aim pitch this steep or more...
constexpr float pitchBack = 1.5607965f;   // ...is put back to this
constexpr double cameraStep = 0.5;        // free camera step per frame

void setView(double ex, double ey, double ez, double cx, double cy, double cz, double ux, double uy,
             double uz) {
  world.view = View{{ex, ey, ez}, {cx, cy, cz}, {ux, uy, uz}};
}

}  // namespace

void aimOrSteer(int32_t dx, int32_t dy) {
  // The scales in force (game/input.h): the plain ones, bit for bit, with
  // the default sensitivity and sense.
  if (missile.active) {
    steerMissile(steerScale() * static_cast<float>(dx),
                 steerScale() * upSign() * static_cast<float>(dy));
    posedBox(missile.modelBox, missile.pos.x, missile.pos.y, missile.pos.z, missile.yaw,
             missile.pitch, &missile.worldBox);
  } else {
    camera.yaw = camera.yaw + static_cast<float>(-dx) * aimScale();
    camera.pitch = camera.pitch + static_cast<float>(dy) * (aimScale() * upSign());
  }
  if (camera.pitch >= pitchLimit)
    camera.pitch = pitchBack;
  else if (camera.pitch <= -pitchLimit)
    camera.pitch = -pitchBack;
}

void moveFreeCamera(const FrameInput& in) {
  double c = cos(static_cast<double>(camera.yaw));
  double s = sin(static_cast<double>(camera.yaw));
  Vec3& p = camera.pos;
  if (keyDown(in, keyQ)) p.z = static_cast<float>(p.z + cameraStep);
  if (keyDown(in, keyE)) p.z = static_cast<float>(p.z - cameraStep);
  if (keyDown(in, keyW)) {
    p.x = static_cast<float>(p.x + cameraStep * c);
    p.y = static_cast<float>(p.y + cameraStep * s);
  }
  if (keyDown(in, keyS)) {
    p.x = static_cast<float>(p.x - cameraStep * c);
    p.y = static_cast<float>(p.y - cameraStep * s);
  }
  if (keyDown(in, keyA)) {
    p.x = static_cast<float>(p.x - cameraStep * s);
    p.y = static_cast<float>(p.y + cameraStep * c);
  }
  if (keyDown(in, keyD)) {
    p.x = static_cast<float>(p.x + cameraStep * s);
    p.y = static_cast<float>(p.y - cameraStep * c);
  }
}

void lookFromCamera() {
  double cosPitch = cos(static_cast<double>(camera.pitch));
  setView(camera.pos.x, camera.pos.y, camera.pos.z,
          camera.pos.x + cosPitch * cos(static_cast<double>(camera.yaw)),
          camera.pos.y + cosPitch * sin(static_cast<double>(camera.yaw)),
          camera.pos.z + sin(static_cast<double>(camera.pitch)), 0, 0, 1);
}

void lookFromMissile() {
  Vec3 eye = {missile.pos.x + 0.2f * missile.up.x, missile.pos.y + 0.2f * missile.up.y,
              missile.pos.z + 0.2f * missile.up.z};
  Vec3 centre = {eye.x + missile.forward.x, eye.y + missile.forward.y, eye.z + missile.forward.z};
  setView(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, missile.up.x, missile.up.y,
          missile.up.z);
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
  lookFromCamera();
  posedBox(cannon.modelBox, cannon.pos.x, cannon.pos.y, cannon.pos.z, cannon.yaw, cannon.pitch,
           &cannon.worldBox);
}
