// render.h: drawing a frame: the sky, the scene, the head-up display and the
// game-over screen.
//
// drawFrame is the display callback and the last step of every frame. It
// draws under whatever view the camera step last loaded and leaves the
// model-view matrix as it found it. The caller shows the picture with the
// buffer swap.
#pragma once

#include "game/world.h"

void drawFrame();

// One entity of a pool, with its material, pose and display list.
void drawPlane(const Plane* plane);
void drawTrooper(const Trooper* trooper);
void drawBomb(const Bomb* bomb);
void drawShell(const Shell* shell);

// The textured sky cylinder with its caps, following the viewer at 0.7.
void drawSky();

// Crosshair, radar and the lives, points and level lines.
void drawOverlay();

// "The game is over" and the question on black.
void drawGameOver();
