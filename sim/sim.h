// sim.h: the per-frame simulation of every kind of entity, their hits and
// their explosions.
//
// frameTick calls fireWeapons in its input step, then the updates in this
// fixed order: updatePlanes, updateTroopers, updateBombs, updateShells,
// updateMissile, updateParticles. Each update moves its pool, poses the
// boxes, resolves the hits it is responsible for and frees what ends. The
// scene drawing calls drawShard for every live shard.
#pragma once

#include <cstdint>

#include "game/input.h"
#include "game/world.h"

// The first slot of a pool not in use, or null when the pool is full.
template <typename Record, int count>
Record* firstFree(Record (&pool)[count]) {
  for (Record& record : pool)
    if (!record.active) return &record;
  return nullptr;
}

// Bursts up to count shards of the given material from (x, y, z), each into
// a free particle slot; fewer (or none) when the pool is nearly full, none
// for a count below 1.
void spawnExplosion(float x, float y, float z, Material* material, float size, int32_t count);
void updateParticles(float dt);
// The material drawShard applied last in this frame (reset by the scene).
extern const Material* lastShardMaterial;
void drawShard(const Particle* shard);

void updatePlanes(float dt, uint32_t now, int32_t frameMs);
void updateTroopers(float dt, uint32_t now);
void updateBombs(float dt);

// Left button: a shell, at most one per 500 ms; right button: the missile.
// Does nothing while a missile flies. The buttons come from the frame's
// input record.
void fireWeapons(uint32_t now, const FrameInput& input);
void updateShells(float dt);

// The right-button half of fireWeapons: launches the missile along the aim.
void launchMissile(uint32_t now);

// Turns the flying missile by dx degrees about its up axis, then dy degrees
// about its right axis.
void steerMissile(float dx, float dy);
// Moves the missile and ends it at its flight time or the ground; with no
// missile in flight it runs updateAim instead.
void updateMissile(float dt, uint32_t now);
