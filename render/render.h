// render.h: drawing a frame: the sky, the terrain, every entity and shard,
// the head-up display and the game-over screen.
//
// drawFrame is the display callback's work and the last step of every frame
// (app/frame.h). It draws from the view the world holds (render/view.h); the
// caller shows the picture with the buffer swap.
#pragma once

#include "game/world.h"
#include "render/material.h"

void drawFrame();

// One entity of a pool, with its material, pose and display list.
void drawPlane(const Plane* plane);
void drawTrooper(const Trooper* trooper);
void drawBomb(const Bomb* bomb);
void drawShell(const Shell* shell);

// One spinning triangle of an explosion; the material is made current only
// when it differs from the shard drawn before.
void drawShard(const Particle* shard);
// The material drawShard applied last in this frame (reset by the scene).
extern const Material* lastShardMaterial;

// The textured sky cylinder with its caps, following the viewer at 0.7.
void drawSky();

// Whether the sky's wall or caps pass through the terrain from where the
// viewer is now (it follows the viewer at 0.7 only, so a viewer far from
// the centre, high above it or below the ground takes it into the ground):
// the scene then draws the ground over the sky instead of letting the sky
// cut it off along a jagged line.
bool skyMeetsTheGround();

// Crosshair, radar and the lives, points and level lines.
void drawOverlay();

// "The game is over" and the question on black.
void drawGameOver();

// "Paused - press P" centred across the picture, over whatever is drawn:
// just above the crosshair, or below the game-over question.
void drawPausedNote();
