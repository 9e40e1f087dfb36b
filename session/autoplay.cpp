// autoplay.cpp: the autoplayer. Each frame it reads the world, picks a
// target, works out where a shell (or the missile) must go to meet it, and
// writes the cursor offset and the buttons that get it there into the input
// record, exactly as a player's mouse would.
#include "session/autoplay.h"

#include <cmath>
#include <cstdio>

#include "game/clock.h"
#include "game/tally.h"
#include "game/world.h"

namespace {

constexpr int32_t maxLookPixels = 120;  // one frame's mouse look at most
constexpr float maxSteerDegrees = 8;    // one frame's missile turn at most
constexpr float missileRange = 26;      // planes farther away get the missile
constexpr float pi = 3.14159265f;

struct Target {
  bool found;
  Vec3 pos;
  Vec3 vel;
  float radius;  // half the smallest side of its box: the aim may be off by this
};

float length(Vec3 v) { return sqrtf(v.x * v.x + v.y * v.y + v.z * v.z); }

float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

float boxRadius(const BoundingBox* box) {
  if (!box) return 0.3f;
  const Vec3 hi = box->corners[0], lo = box->corners[7];
  const float side = fminf(hi.x - lo.x, fminf(hi.y - lo.y, hi.z - lo.z));
  return fmaxf(0.5f * side, 0.15f);
}

// The point where a projectile from `from` at `speed` meets a target moving
// from pos at vel; the target's position itself when it cannot be met.
Vec3 leadPoint(Vec3 from, float speed, Vec3 pos, Vec3 vel) {
  const Vec3 d = {pos.x - from.x, pos.y - from.y, pos.z - from.z};
  const float a = dot(vel, vel) - speed * speed;
  const float b = 2 * dot(d, vel);
  const float c = dot(d, d);
  float t = -1;
  if (fabsf(a) < 1e-6f) {
    if (b < 0) t = -c / b;
  } else {
    const float disc = b * b - 4 * a * c;
    if (disc >= 0) {
      const float r = sqrtf(disc);
      const float t1 = (-b - r) / (2 * a), t2 = (-b + r) / (2 * a);
      t = t1 > 0 && (t2 <= 0 || t1 < t2) ? t1 : t2;
    }
  }
  if (!(t > 0)) return pos;
  return {pos.x + vel.x * t, pos.y + vel.y * t, pos.z + vel.z * t};
}

// The nearest bomb, or else the nearest plane, seen from `from`.
Target pickTarget(Vec3 from) {
  Target best = {};
  float bestDistance = 1e30f;
  for (const Bomb& bomb : bombs) {
    if (!bomb.active) continue;
    const float d = length({bomb.pos.x - from.x, bomb.pos.y - from.y, bomb.pos.z - from.z});
    if (d < bestDistance) {
      bestDistance = d;
      best = {true, bomb.pos, bomb.vel, boxRadius(bomb.modelBox)};
    }
  }
  if (best.found) return best;
  for (const Plane& plane : planes) {
    if (!plane.active) continue;
    const float d = length({plane.pos.x - from.x, plane.pos.y - from.y, plane.pos.z - from.z});
    if (d < bestDistance) {
      bestDistance = d;
      best = {true, plane.pos, {plane.vel.x, plane.vel.y, 0}, boxRadius(plane.modelBox)};
    }
  }
  return best;
}

bool anyBomb() {
  for (const Bomb& bomb : bombs)
    if (bomb.active) return true;
  return false;
}

void press(FrameInput* in, InputKey key) {
  in->held |= 1u << key;
  in->pressed |= 1u << key;
}

int32_t clampPixels(float pixels, int32_t limit) {
  if (!(pixels > -limit)) return -limit;
  if (!(pixels < limit)) return limit;
  return static_cast<int32_t>(lroundf(pixels));
}

// Mouse offsets that turn the flying missile towards the target's lead point.
void steer(const Target& target, int32_t* dx, int32_t* dy) {
  *dx = *dy = 0;
  if (!target.found) return;
  const Vec3 aim = leadPoint(missile.pos, settings.missileSpeed, target.pos, target.vel);
  const Vec3 d = {aim.x - missile.pos.x, aim.y - missile.pos.y, aim.z - missile.pos.z};
  const float f = dot(d, missile.forward), r = dot(d, missile.right), u = dot(d, missile.up);
  const float right = fmaxf(-maxSteerDegrees, fminf(maxSteerDegrees, atan2f(r, f) * 180 / pi));
  const float up = fmaxf(-maxSteerDegrees, fminf(maxSteerDegrees, atan2f(u, f) * 180 / pi));
  *dx = clampPixels(right / steerScale(), 1000);
  *dy = clampPixels(-up / steerScale() * upSign(), 1000);
}

}  // namespace

AutoplayScore autoplayScore() {
  const RunTally tally = runTally();
  return {tally.levelsCleared, tally.clearedPoints + tally.replayedPoints + tally.points,
          tally.livesLost, tally.frames};
}

void printAutoplaySummary() {
  const AutoplayScore score = autoplayScore();
  const double seconds = static_cast<int32_t>(lastFrame.now - runTally().startMs) * 0.001;
  // "1 level cleared, 1 point, 1 life lost, 1 frame", and plurals otherwise.
  printf("autoplay: %d %s cleared, %d %s, %d %s lost, %d %s, %.1f s\n", score.levelsCleared,
         score.levelsCleared == 1 ? "level" : "levels", score.points,
         score.points == 1 ? "point" : "points", score.livesLost,
         score.livesLost == 1 ? "life" : "lives", score.frames,
         score.frames == 1 ? "frame" : "frames", seconds);
  fflush(stdout);
}

void autoplayInput(FrameInput* in) {
  const uint32_t mine = 1u << keyLButton | 1u << keyRButton | 1u << keyN | 1u << keyY;
  in->held &= ~mine;
  in->pressed &= ~mine;
  int32_t centre[2] = {cursorCentre[0], cursorCentre[1]};
  if (!in->active) return;
  keepHoldPointInside(centre, in->client);
  in->cursorX = centre[0];
  in->cursorY = centre[1];
  if (game.gameOver) {
    press(in, keyN);  // keep playing
    return;
  }
  if (game.paused) return;

  const Vec3 origin = {0, 0, 0};
  const Target target = pickTarget(missile.active ? missile.pos : origin);
  if (missile.active) {
    int32_t dx, dy;
    steer(target, &dx, &dy);
    in->cursorX += dx;
    in->cursorY += dy;
    return;
  }
  if (!target.found) return;

  const Vec3 aim = leadPoint(origin, settings.shellSpeed, target.pos, target.vel);
  const float distance = length(aim);
  const float yaw = atan2f(aim.y, aim.x);
  const float pitch = atan2f(aim.z, sqrtf(aim.x * aim.x + aim.y * aim.y));
  const float turn = remainderf(yaw - camera.yaw, 2 * pi);
  const float lift = pitch - camera.pitch;
  const int32_t px = clampPixels(-turn / aimScale(), maxLookPixels);
  const int32_t py = clampPixels(-lift / aimScale() * upSign(), maxLookPixels);
  in->cursorX = centre[0] + px;  // the cursor left of the centre turns the aim left
  in->cursorY = centre[1] + py;
  // The aim after this frame's look, against the target's size.
  const float offYaw = turn + static_cast<float>(px) * aimScale();
  const float offPitch = lift + static_cast<float>(py) * (aimScale() * upSign());
  const float off = sqrtf(offYaw * offYaw + offPitch * offPitch) * distance;
  if (off < target.radius) press(in, keyLButton);
  if (!anyBomb() && distance > missileRange && off < 4 * target.radius) press(in, keyRButton);
}
