// trace.cpp: writes the world state as one JSON object per frame.
#include "shell/trace.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "render/material.h"
#include "shell/camera.h"
#include "shell/frame.h"
#include "shell/world.h"

namespace {

FILE* traceFile;

// Sounds of the current frame, in order. A frame starts far fewer sounds
// than this; any beyond it are counted but not named.
constexpr int maxFrameSounds = 256;
const char* frameSounds[maxFrameSounds];
int frameSoundCount;

void putFloat(float value) {
  if (std::isfinite(value))
    fprintf(traceFile, "%.9g", static_cast<double>(value));
  else
    fputs("null", traceFile);
}

void putVec(const Vec3& v) {
  fputc('[', traceFile);
  putFloat(v.x);
  fputc(',', traceFile);
  putFloat(v.y);
  fputc(',', traceFile);
  putFloat(v.z);
  fputc(']', traceFile);
}

void putString(const char* s) {
  fputc('"', traceFile);
  for (; *s; s++) {
    unsigned char c = static_cast<unsigned char>(*s);
    if (c == '"' || c == '\\')
      fprintf(traceFile, "\\%c", c);
    else if (c < 0x20)
      fprintf(traceFile, "\\u%04x", c);
    else
      fputc(c, traceFile);
  }
  fputc('"', traceFile);
}

// ,"name": before every field but the first of an object.
void key(const char* name, bool first = false) {
  if (!first) fputc(',', traceFile);
  fprintf(traceFile, "\"%s\":", name);
}

void putPlanes() {
  key("planes");
  fputc('[', traceFile);
  bool first = true;
  for (int i = 0; i < planePoolSize; i++) {
    const Plane& p = planes[i];
    if (!p.active) continue;
    if (!first) fputc(',', traceFile);
    first = false;
    fputc('{', traceFile);
    key("slot", true);
    fprintf(traceFile, "%d", i);
    key("pos");
    putVec(p.pos);
    key("vel");
    fputc('[', traceFile);
    putFloat(p.vel.x);
    fputc(',', traceFile);
    putFloat(p.vel.y);
    fputc(']', traceFile);
    key("heading");
    putFloat(p.heading);
    key("turnTimerMs");
    fprintf(traceFile, "%d", p.turnTimerMs);
    key("bombTimerMs");
    fprintf(traceFile, "%d", p.bombTimerMs);
    key("trooperTimerMs");
    fprintf(traceFile, "%d", p.trooperTimerMs);
    fputc('}', traceFile);
  }
  fputc(']', traceFile);
}

void putTroopers() {
  key("troopers");
  fputc('[', traceFile);
  bool first = true;
  for (int i = 0; i < trooperPoolSize; i++) {
    const Trooper& t = troopers[i];
    if (!t.active) continue;
    if (!first) fputc(',', traceFile);
    first = false;
    fputc('{', traceFile);
    key("slot", true);
    fprintf(traceFile, "%d", i);
    key("pos");
    putVec(t.pos);
    key("vz");
    putFloat(t.vz);
    key("spin");
    putFloat(t.spin);
    key("tilt");
    putFloat(t.tilt);
    key("chuteOpen");
    fprintf(traceFile, "%d", t.chuteOpen);
    key("chuteShot");
    fprintf(traceFile, "%d", t.chuteShot);
    key("dropTime");
    fprintf(traceFile, "%u", t.dropTime);
    fputc('}', traceFile);
  }
  fputc(']', traceFile);
}

// Opens the object of one pool slot with its fields common to bombs and
// shells.
void putPosed(int slot, const Vec3& pos, const Vec3& vel, float yaw, float pitch) {
  fputc('{', traceFile);
  key("slot", true);
  fprintf(traceFile, "%d", slot);
  key("pos");
  putVec(pos);
  key("vel");
  putVec(vel);
  key("yaw");
  putFloat(yaw);
  key("pitch");
  putFloat(pitch);
}

void putBombs() {
  key("bombs");
  fputc('[', traceFile);
  bool first = true;
  for (int i = 0; i < bombPoolSize; i++) {
    const Bomb& b = bombs[i];
    if (!b.active) continue;
    if (!first) fputc(',', traceFile);
    first = false;
    putPosed(i, b.pos, b.vel, b.yaw, b.pitch);
    fputc('}', traceFile);
  }
  fputc(']', traceFile);
}

void putShells() {
  key("shells");
  fputc('[', traceFile);
  bool first = true;
  for (int i = 0; i < shellPoolSize; i++) {
    const Shell& s = shells[i];
    if (!s.active) continue;
    if (!first) fputc(',', traceFile);
    first = false;
    putPosed(i, s.pos, s.vel, s.yaw, s.pitch);
    key("lifeMs");
    fprintf(traceFile, "%d", s.lifeMs);
    fputc('}', traceFile);
  }
  fputc(']', traceFile);
}

void putParticles() {
  key("particles");
  fputc('[', traceFile);
  bool first = true;
  for (int i = 0; i < particlePoolSize; i++) {
    const Particle& p = particles[i];
    if (!p.active) continue;
    if (!first) fputc(',', traceFile);
    first = false;
    fputc('{', traceFile);
    key("slot", true);
    fprintf(traceFile, "%d", i);
    key("pos");
    putVec(p.pos);
    key("vel");
    putVec(p.vel);
    key("yaw");
    putFloat(p.yaw);
    key("pitch");
    putFloat(p.pitch);
    key("size");
    putFloat(p.size);
    key("material");
    putString(materialName(p.material));
    fputc('}', traceFile);
  }
  fputc(']', traceFile);
}

}  // namespace

bool traceOpen(const char* file) {
  traceFile = fopen(file, "w");
  return traceFile != nullptr;
}

bool traceEnabled() { return traceFile != nullptr; }

void traceSound(const char* name) {
  if (frameSoundCount < maxFrameSounds) frameSounds[frameSoundCount] = name;
  frameSoundCount++;
}

void traceFrame(int exitStatus) {
  if (!traceFile) {
    frameSoundCount = 0;
    return;
  }
  fputc('{', traceFile);
  key("frame", true);
  fprintf(traceFile, "%d", lastFrame.number);
  key("now");
  fprintf(traceFile, "%u", lastFrame.now);
  key("frameMs");
  fprintf(traceFile, "%d", lastFrame.frameMs);
  key("dt");
  putFloat(lastFrame.dt);
  key("rng");
  fprintf(traceFile, "%u", randState());
  key("level");
  fprintf(traceFile, "%d", game.level);
  key("lives");
  fprintf(traceFile, "%d", game.lives);
  key("points");
  fprintf(traceFile, "%d", game.points);
  key("planesLeft");
  fprintf(traceFile, "%d", game.planesLeft);
  key("gameOver");
  fprintf(traceFile, "%d", game.gameOver);
  key("paused");
  fprintf(traceFile, "%d", game.paused);
  key("cameraLock");
  fprintf(traceFile, "%d", game.cameraLock);
  key("lastShotMs");
  fprintf(traceFile, "%u", lastShotMs);
  key("firedThisLevel");
  fprintf(traceFile, "%d", firedThisLevel);

  key("camera");
  fputc('{', traceFile);
  key("pos", true);
  putVec(camera.pos);
  key("yaw");
  putFloat(camera.yaw);
  key("pitch");
  putFloat(camera.pitch);
  fputc('}', traceFile);

  key("cannon");
  fputc('{', traceFile);
  key("yaw", true);
  putFloat(cannon.yaw);
  key("pitch");
  putFloat(cannon.pitch);
  key("forward");
  putVec(cannon.forward);
  key("right");
  putVec(cannon.right);
  key("up");
  putVec(cannon.up);
  fputc('}', traceFile);

  putPlanes();
  putTroopers();
  putBombs();
  putShells();
  putParticles();

  key("missile");
  fputc('{', traceFile);
  key("active", true);
  fprintf(traceFile, "%d", missile.active);
  key("pos");
  putVec(missile.pos);
  key("vel");
  putVec(missile.vel);
  key("yaw");
  putFloat(missile.yaw);
  key("pitch");
  putFloat(missile.pitch);
  key("forward");
  putVec(missile.forward);
  key("right");
  putVec(missile.right);
  key("up");
  putVec(missile.up);
  key("launchMs");
  fprintf(traceFile, "%u", missile.launchMs);
  fputc('}', traceFile);

  key("sounds");
  fputc('[', traceFile);
  int named = frameSoundCount < maxFrameSounds ? frameSoundCount : maxFrameSounds;
  for (int i = 0; i < named; i++) {
    if (i) fputc(',', traceFile);
    putString(frameSounds[i]);
  }
  fputc(']', traceFile);
  if (exitStatus >= 0) {
    key("exit");
    fprintf(traceFile, "%d", exitStatus);
  }
  fputs("}\n", traceFile);
  fflush(traceFile);
  frameSoundCount = 0;
}

void traceClose() {
  if (traceFile) fclose(traceFile);
  traceFile = nullptr;
}
