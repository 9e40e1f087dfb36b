// terrain.h: the ground, a square height field built once from "ground.bmp".
//
// Setting up the world (game/setup.h) builds it; the renderer draws the grid
// (render/terrain_draw.h). terrainHeight tells the simulation where the
// ground is: troopers land on it, shells and the missile burst on it.
#pragma once

#include <cstdint>

#include "assets/model.h"

struct HeightField {
  Model mesh;      // (cells + 1)^2 vertices, 2 x cells^2 triangles
  float* alpha;    // opacity per vertex: 1 inside, falling to 0 at the rim
  float halfSize;  // the grid spans -halfSize..halfSize in x and y
  float lowest;    // the lowest and the highest vertex
  float highest;
  float step;     // distance between neighbouring vertices
  int32_t cells;  // cells per side (48)
};

extern HeightField terrain;

// Width and minimum height of the height-map bitmap, in pixels. Other sizes
// and depths are converted to this shape when loaded.
constexpr int heightMapSize = 384;

// Builds the grid from "ground.bmp": darker pixels are higher (0 gives 2,
// 255 gives -8.2). The rim outside innerSize fades out. A missing or
// unreadable bitmap ends the process with a message and status 1.
void buildTerrain(float innerSize, int32_t cells, float halfSize);

// Height of the grid vertex nearest to (x, y); points beyond the grid take
// the nearest edge vertex.
float terrainHeight(float x, float y);

// Frees the grid and forgets it (a fresh world in the same process).
void releaseTerrain();
