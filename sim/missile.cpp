// missile.cpp: the guided missile. The right button launches it along the
// aim; the mouse then turns it about its own axes while the view rides on
// it. It ends at its first hit (tested by the targets' own updates), when
// its flight time runs out, or below the ground.
#include <cmath>

#include "base/matrix.h"
#include "game/sounds.h"
#include "sim/sim.h"
#include "terrain/terrain.h"

namespace {

// Turns the missile's three axes by `degrees` about `axis`.
void turnAbout(float degrees, Vec3 axis) {
  const Matrix turn = rotationMatrix(degrees, axis);
  missile.forward = transformPoint(turn, missile.forward);
  missile.right = transformPoint(turn, missile.right);
  missile.up = transformPoint(turn, missile.up);
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
  turnAbout(-dx, missile.up);
  turnAbout(dy, missile.right);
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
    spawnExplosion(missile.pos.x, missile.pos.y, missile.pos.z, materialShell,
                   settings.impactBlastSize, settings.impactBlastCount);
    playSound(soundBurst);
  }
}
