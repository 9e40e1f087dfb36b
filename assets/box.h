// box.h: axis-aligned bounding boxes and the overlap test behind every hit.
//
// Each model gets one box in its own space at load time (game/setup.h);
// every frame the entity updates pose that box at the entity's position and
// orientation with posedBox, and the hit rules test pairs with boxesOverlap.
#pragma once

#include "base/vec3.h"

// Eight corners in a fixed order: bit 0 of the index picks the minimum x,
// bit 1 the minimum y, bit 2 the minimum z. Corner 0 therefore holds the
// three maxima and corner 7 the three minima.
struct BoundingBox {
  Vec3 corners[8];
};

// The box of count points. The running extremes start at -1000 (maximum) and
// 1000 (minimum), so points beyond +-1000 leave those starting values in play.
void boxFromPoints(const Vec3* points, int count, BoundingBox* out);

// The model box turned by pitch about -y, then by yaw about +z, moved to
// (x, y, z), and boxed again along the world axes. Composes the transform on
// the GL model-view stack and leaves the stack as it was. Returns out.
BoundingBox* posedBox(const BoundingBox* modelBox, float x, float y, float z, float yaw,
                      float pitch, BoundingBox* out);

// True when the boxes overlap or touch.
bool boxesOverlap(const BoundingBox* a, const BoundingBox* b);
