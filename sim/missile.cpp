// missile.cpp: the guided missile. The right button launches it along the
// aim; the mouse then turns it about its own axes while the view rides on
// it. It ends at its first hit (tested by the targets' own updates), when
// its flight time runs out, or below the ground.
#include <GL/gl.h>

#include <cmath>

#include "render/camera.h"
#include "sim/sim.h"
#include "terrain/terrain.h"

namespace {

// Replaces v by M v for the rotation M read back from the GL.
Vec3 rotated(const float* m, Vec3 v) {
  return {v.x * m[0] + v.y * m[4] + v.z * m[8] + m[12],
          v.x * m[1] + v.y * m[5] + v.z * m[9] + m[13],
          v.x * m[2] + v.y * m[6] + v.z * m[10] + m[14]};
}

void turnAbout(float degrees, Vec3 axis) {
  float m[16];
  glLoadIdentity();
  glRotatef(degrees, axis.x, axis.y, axis.z);
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  missile.forward = rotated(m, missile.forward);
  missile.right = rotated(m, missile.right);
  missile.up = rotated(m, missile.up);
}

}  // namespace

void launchMissile(uint32_t now) {
  float yaw = camera.yaw, pitch = camera.pitch;
  missile.launchMs = now;
  missile.active = 1;
  missile.forward = {
      static_cast<float>(cos(static_cast<double>(yaw)) * cos(static_cast<double>(pitch))),
      static_cast<float>(sin(static_cast<double>(yaw)) * cos(static_cast<double>(pitch))),
      static_cast<float>(sin(static_cast<double>(pitch)))};
  float sideways = yaw - 1.5707965f;
  missile.right = {static_cast<float>(cos(static_cast<double>(sideways))),
                   static_cast<float>(sin(static_cast<double>(sideways))), 0};
  missile.up = cross(missile.right, missile.forward);
  missile.pos = {1.5f * missile.forward.x, 1.5f * missile.forward.y, 1.5f * missile.forward.z};
  missile.vel = {settings.missileSpeed * missile.forward.x,
                 settings.missileSpeed * missile.forward.y,
                 settings.missileSpeed * missile.forward.z};
  missile.yaw = yaw;
  missile.pitch = pitch;
  // Pose the box now: the hit tests of this frame must not meet the box the
  // previous flight left behind.
  posedBox(missile.modelBox, missile.pos.x, missile.pos.y, missile.pos.z, missile.yaw,
           missile.pitch, &missile.worldBox);
}

void steerMissile(float dx, float dy) {
  glPushMatrix();
  turnAbout(-dx, missile.up);
  turnAbout(dy, missile.right);
  glPopMatrix();
  const Vec3& f = missile.forward;
  missile.vel = {settings.missileSpeed * f.x, settings.missileSpeed * f.y,
                 settings.missileSpeed * f.z};
  missile.yaw = static_cast<float>(atan2(static_cast<double>(f.y), static_cast<double>(f.x)));
  missile.pitch =
      static_cast<float>(atan2(static_cast<double>(f.z), sqrt(static_cast<double>(f.x) * f.x +
                                                              static_cast<double>(f.y) * f.y)));
}

void updateMissile(float dt, uint32_t now) {
  if (!missile.active) {
    updateAim();
    return;
  }
  missile.pos.x += missile.vel.x * dt;
  missile.pos.y += missile.vel.y * dt;
  missile.pos.z += missile.vel.z * dt;
  if (static_cast<int32_t>(now - missile.launchMs) > settings.missileLifetimeMs ||
      terrainHeight(missile.pos.x, missile.pos.y) > missile.pos.z) {
    missile.active = 0;
    spawnExplosion(missile.pos.x, missile.pos.y, missile.pos.z, &shellMaterial,
                   settings.impactBlastSize, settings.impactBlastCount);
    playSound("s\\exp_can.wav");
  }
}
