// camera.h: the viewer, the aim and the projection.
//
// The Camera holds the eye and the aim angles that the mouse turns. updateAim
// (run by updateMissile whenever no missile flies) derives the cannon's aim
// vectors and pose from them, places the locked eye beside the cannon and
// loads the view; applyMissileCamera loads the view from a flying missile.
// onReshape sets the projection. dirFromAngles and cross are shared with the
// shard spawner and the missile.
#pragma once

#include "base/vec3.h"

struct Camera {
  Vec3 pos;     // eye position
  float yaw;    // aim yaw: about +z from +x, never wrapped
  float pitch;  // aim pitch: clamped just inside +-pi/2 by the frame loop
};

extern Camera camera;
extern float lightPosition[4];  // directional light, fixed in the world
extern float aspect;            // window height / width

// (length cos(pitch) cos(yaw), length cos(pitch) sin(yaw), length sin(pitch)),
// the sines and cosines in double precision, rounded to float when stored.
Vec3 dirFromAngles(float length, float yaw, float pitch);
Vec3 cross(Vec3 a, Vec3 b);

void applyCamera();
void applyMissileCamera();
void updateAim();
void onReshape(int width, int height);
