// material.h: the lighting materials of everything the game draws.
//
// The table is fixed initialised data; only the terrain material's alpha is
// written at run time (per vertex, while the terrain list is compiled).
// Used by the scene drawing, the terrain, the shards and the hit rules (which
// choose the colour of each explosion).
#pragma once

struct Material {
  float ambient[4];
  float diffuse[4];
  float specular[4];
  float shininess;
};

extern Material planeMaterial;
extern Material trooperMaterial;
extern Material bombMaterial;
extern Material shellMaterial;
extern Material chuteMaterial;
extern Material cannonMaterial;
extern Material terrainMaterial;

// Ambient to both faces; diffuse, specular and shininess to the front faces.
void applyMaterial(const Material* material);

// The material's name for the trace ("plane", "trooper", ...), or "none".
const char* materialName(const Material* material);
