// trace.cpp: writes the world state as one JSON object per frame.
#include "session/trace.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "game/clock.h"
#include "game/sounds.h"
#include "game/world.h"
#include "render/material.h"

namespace {

FILE* traceFile;

// Set when the next field opens an object (no comma before it).
bool firstField;

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

void openObject() {
  fputc('{', traceFile);
  firstField = true;
}

void closeObject() { fputc('}', traceFile); }

// "name": with the comma that separates it from the field before.
void key(const char* name) {
  if (!firstField) fputc(',', traceFile);
  firstField = false;
  fprintf(traceFile, "\"%s\":", name);
}

void field(const char* name, int32_t value) {
  key(name);
  fprintf(traceFile, "%d", value);
}
void field(const char* name, uint32_t value) {
  key(name);
  fprintf(traceFile, "%u", value);
}
void field(const char* name, float value) {
  key(name);
  putFloat(value);
}
void field(const char* name, const Vec3& value) {
  key(name);
  putVec(value);
}

// The active slots of a pool as an array of objects; each opens with its
// slot number, and fields() writes the rest of the record.
template <typename Record, int count, typename Fields>
void pool(const char* name, const Record (&records)[count], Fields fields) {
  key(name);
  fputc('[', traceFile);
  bool first = true;
  for (int i = 0; i < count; i++) {
    if (!records[i].active) continue;
    if (!first) fputc(',', traceFile);
    first = false;
    openObject();
    field("slot", static_cast<int32_t>(i));
    fields(records[i]);
    closeObject();
  }
  fputc(']', traceFile);
  firstField = false;
}

// Fields shared by bombs and shells.
template <typename Record>
void posedFields(const Record& r) {
  field("pos", r.pos);
  field("vel", r.vel);
  field("yaw", r.yaw);
  field("pitch", r.pitch);
}

}  // namespace

bool traceOpen(const char* file) {
  traceFile = fopen(file, "w");
  return traceFile != nullptr;
}

void traceFrame(int exitStatus) {
  if (!traceFile) {
    clearFrameSounds();
    return;
  }
  openObject();
  field("frame", lastFrame.number);
  field("now", lastFrame.now);
  field("frameMs", lastFrame.frameMs);
  field("dt", lastFrame.dt);
  field("rng", randState());
  field("level", game.level);
  field("lives", game.lives);
  field("points", game.points);
  field("planesLeft", game.planesLeft);
  field("gameOver", game.gameOver);
  field("paused", game.paused);
  field("cameraLock", game.cameraLock);
  field("lastShotMs", lastShotMs);
  field("firedThisLevel", firedThisLevel);

  key("camera");
  openObject();
  field("pos", camera.pos);
  field("yaw", camera.yaw);
  field("pitch", camera.pitch);
  closeObject();

  key("cannon");
  openObject();
  field("yaw", cannon.yaw);
  field("pitch", cannon.pitch);
  field("forward", cannon.forward);
  field("right", cannon.right);
  field("up", cannon.up);
  closeObject();

  pool("planes", planes, [](const Plane& p) {
    field("pos", p.pos);
    key("vel");
    fputc('[', traceFile);
    putFloat(p.vel.x);
    fputc(',', traceFile);
    putFloat(p.vel.y);
    fputc(']', traceFile);
    field("heading", p.heading);
    field("turnTimerMs", p.turnTimerMs);
    field("bombTimerMs", p.bombTimerMs);
    field("trooperTimerMs", p.trooperTimerMs);
  });
  pool("troopers", troopers, [](const Trooper& t) {
    field("pos", t.pos);
    field("vz", t.vz);
    field("spin", t.spin);
    field("tilt", t.tilt);
    field("chuteOpen", t.chuteOpen);
    field("chuteShot", t.chuteShot);
    field("dropTime", t.dropTime);
  });
  pool("bombs", bombs, [](const Bomb& b) { posedFields(b); });
  pool("shells", shells, [](const Shell& s) {
    posedFields(s);
    field("lifeMs", s.lifeMs);
  });
  pool("particles", particles, [](const Particle& p) {
    posedFields(p);
    field("size", p.size);
    key("material");
    putString(materialName(p.material));
  });

  key("missile");
  openObject();
  field("active", missile.active);
  posedFields(missile);
  field("forward", missile.forward);
  field("right", missile.right);
  field("up", missile.up);
  field("launchMs", missile.launchMs);
  closeObject();

  key("sounds");
  fputc('[', traceFile);
  int named = frameSoundCount() < maxFrameSounds ? frameSoundCount() : maxFrameSounds;
  for (int i = 0; i < named; i++) {
    if (i) fputc(',', traceFile);
    putString(soundFiles[frameSound(i)]);
  }
  fputc(']', traceFile);
  if (exitStatus >= 0) field("exit", static_cast<int32_t>(exitStatus));
  closeObject();
  fputc('\n', traceFile);
  fflush(traceFile);
  clearFrameSounds();
}

void traceClose() {
  if (traceFile) fclose(traceFile);
  traceFile = nullptr;
}
