// particles.cpp: explosion shards. Every burst is a handful of small lit
// triangles that fly out in random directions, fall, spin about the
// vertical and shrink until they vanish.
#include <cmath>

#include "sim/sim.h"

void spawnExplosion(float x, float y, float z, MaterialId material, float size, int32_t count) {
  // A count below 1 would never count down to zero and would take every
  // free slot; such a burst has no shards.
  if (count < 1) return;
  for (Particle& shard : particles) {
    if (shard.active) continue;
    shard.pos = {x, y, z};
    shard.active = 1;
    shard.size = size;
    shard.yaw = static_cast<float>(gameRand()) * 0.00019175347f;
    shard.pitch = static_cast<float>(static_cast<double>(static_cast<float>(gameRand())) *
                                         static_cast<double>(0.000030518509f) * 6.263185958862305 -
                                     3.1315929794311526);
    shard.material = material;
    shard.vel = dirFromAngles(settings.shardSpeed, shard.yaw, shard.pitch);
    if (--count == 0) break;
  }
}

void updateParticles(float dt) {
  for (Particle& shard : particles) {
    if (!shard.active) continue;
    shard.yaw = shard.yaw + 5 * dt;
    shard.pos.x += shard.vel.x * dt;
    shard.pos.y += shard.vel.y * dt;
    shard.vel.z = shard.vel.z + settings.shardGravity * dt;
    shard.pos.z += shard.vel.z * dt;
    shard.size = static_cast<float>(
        shard.size * pow(static_cast<double>(settings.shardDecay), static_cast<double>(dt)));
    if (shard.size < 0.1) shard.active = 0;
  }
}
