// material.h: the lighting materials of everything the game draws.
//
// The table is fixed data in MaterialId order (game/world.h); the terrain
// is drawn with copies of its material whose alpha fades per vertex. Used by the scene, the terrain
// and the shards; the trace names a shard's material with materialName.
#pragma once

#include "game/world.h"

struct Material {
  const char* name;
  float ambient[4];
  float diffuse[4];
  float specular[4];
  float shininess;
};

extern const Material materials[materialCount];

// Ambient to both faces; diffuse, specular and shininess to the front faces.
void applyMaterial(const Material* material);

// The material's name ("plane", "trooper", ...).
const char* materialName(MaterialId material);
