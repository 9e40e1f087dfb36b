// planes.cpp: the enemy planes. Each flies level at its own altitude,
// turns to a random heading at random intervals, bounces off the arena
// walls and drops troopers and bombs on its own timers.
#include <cmath>

#include "sim/sim.h"

namespace {

// A trooper one unit below the plane, chute closed; its model and box
// pointers stay as loaded.
void dropTrooper(const Plane& plane, Trooper& trooper, uint32_t now) {
  trooper.pos = {plane.pos.x, plane.pos.y, plane.pos.z - 1};
  trooper.active = 1;
  trooper.vz = 0;
  trooper.spin = 0;
  trooper.tilt = 0;
  trooper.chuteOpen = 0;
  trooper.chuteShot = 0;
  trooper.dropTime = now;
}

// A bomb aimed straight at the origin, where the cannon stands.
void dropBomb(const Plane& plane, Bomb& bomb) {
  double x = plane.pos.x, y = plane.pos.y, z = plane.pos.z;
  bomb.pos = plane.pos;
  bomb.active = 1;
  bomb.yaw = static_cast<float>(atan2(-y, -x));
  bomb.pitch = static_cast<float>(atan2(-z, sqrt(x * x + y * y)));
  bomb.vel = dirFromAngles(settings.bombSpeed, bomb.yaw, bomb.pitch);
}

}  // namespace

void updatePlanes(float dt, uint32_t now, int32_t frameMs) {
  float h = settings.arenaHalfSize;
  for (Plane& plane : planes) {
    if (!plane.active) continue;
    plane.pos.x += plane.vel.x * dt;
    plane.pos.y += plane.vel.y * dt;

    if (plane.pos.x > h || plane.pos.x < -h) {
      plane.heading = 3.141593f - plane.heading;
      plane.vel.x = -plane.vel.x;
      plane.pos.x = static_cast<float>(plane.pos.x > h ? h - 0.1 : 0.1 - h);
    }
    if (plane.pos.y > h || plane.pos.y < -h) {
      plane.heading = -plane.heading;
      plane.vel.y = -plane.vel.y;
      plane.pos.y = static_cast<float>(plane.pos.y > h ? h - 0.1 : 0.1 - h);
    }

    if (plane.turnTimerMs <= 0) {
      plane.heading = static_cast<float>(gameRand()) * 0.00019175347f;
      plane.vel.x =
          static_cast<float>(settings.planeSpeed * cos(static_cast<double>(plane.heading)));
      plane.vel.y =
          static_cast<float>(settings.planeSpeed * sin(static_cast<double>(plane.heading)));
      plane.turnTimerMs = randIntervalMs(settings.planeTurnMinMs, settings.planeTurnMaxMs);
    }
    plane.turnTimerMs -= frameMs;

    posedBox(plane.modelBox, plane.pos.x, plane.pos.y, plane.pos.z, plane.heading, 0,
             &plane.worldBox);

    if (missile.active && boxesOverlap(&missile.worldBox, &plane.worldBox)) {
      missile.active = 0;
      downPlane(plane);
    }

    // A full pool leaves the timer run out, so the drop comes in the first
    // frame a slot is free.
    if (plane.trooperTimerMs <= 0) {
      if (Trooper* trooper = firstFree(troopers)) {
        dropTrooper(plane, *trooper, now);
        plane.trooperTimerMs = randIntervalMs(settings.trooperDropMinMs, settings.trooperDropMaxMs);
      }
    }
    plane.trooperTimerMs -= frameMs;

    if (plane.bombTimerMs <= 0) {
      if (Bomb* bomb = firstFree(bombs)) {
        dropBomb(plane, *bomb);
        plane.bombTimerMs = randIntervalMs(settings.bombDropMinMs, settings.bombDropMaxMs);
      }
    }
    plane.bombTimerMs -= frameMs;
  }
}
