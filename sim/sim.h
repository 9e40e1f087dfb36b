// sim.h: the per-frame simulation of every kind of entity, their hits and
// their explosions, and the aim.
//
// The frame loop (app/frame.h) turns the aim or steers the missile and moves
// the free camera from the frame's input, calls fireWeapons, then the
// updates in this fixed order: updatePlanes, updateTroopers, updateBombs,
// updateShells, updateMissile, updateParticles, and then lookFromMissile
// while a missile flies. Each update moves its pool, poses the boxes,
// resolves the hits it is responsible for and frees what ends. The view the
// renderer draws from (world.view) is set here: by the aim step from the
// camera, or from the flying missile.
#pragma once

#include <cstdint>

#include "game/input.h"
#include "game/world.h"

// ---- Aim and camera (aim.cpp) ----

// The cursor's offset from the hold point, (dx, dy) pixels with dy upward,
// steers the flying missile, or else turns the aim; the pitch stays just
// inside straight up and down.
void aimOrSteer(int32_t dx, int32_t dy);

// Q/E up and down, W/S along the aim yaw, A/D across it: a step per frame.
void moveFreeCamera(const FrameInput& in);

// The cannon's aim vectors and pose from the camera's angles, the locked eye
// beside the cannon, and the view from the camera (run by updateMissile
// whenever no missile flies).
void updateAim();

// The view from the camera's eye along the aim (start-up, and updateAim).
void lookFromCamera();

// The view from the flying missile: a little above it, along its nose.
void lookFromMissile();

// ---- Targets destroyed (kills.cpp) ----
// One function per kind of target, whoever hit it (a shell or the missile,
// which its caller spends): the slot is freed, the sound starts, the shards
// burst and the points or planes left change.

void downPlane(Plane& plane);
void killTrooper(Trooper& trooper);
// The chute is torn away: the trooper tumbles on.
void tearChute(Trooper& trooper);
void downBomb(Bomb& bomb);

// ---- Entities ----

// Bursts up to count shards of the given material from (x, y, z), each into
// a free particle slot; fewer (or none) when the pool is nearly full, none
// for a count below 1.
void spawnExplosion(float x, float y, float z, MaterialId material, float size, int32_t count);
void updateParticles(float dt);

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
