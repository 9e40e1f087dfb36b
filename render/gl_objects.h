// gl_objects.h: the display lists and texture objects the renderer reserves
// at start-up (render/resources.h) and draws with for the whole run.
#pragma once

#include <cstdint>

// Display lists: one block of eight consecutive names, in this order.
extern uint32_t planeList, cannonList, missileList, shellList, bombList, chuteList, trooperList,
    terrainList;
// Texture objects.
extern uint32_t sandTexture, skyTexture, skyCapTexture, fontTexture, groundBoxTexture;
