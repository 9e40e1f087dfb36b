// gl_objects.cpp: the names of the display lists and texture objects.
#include "render/gl_objects.h"

uint32_t planeList, cannonList, missileList, shellList, bombList, chuteList, trooperList,
    terrainList;
uint32_t sandTexture, skyTexture, skyCapTexture, fontTexture, groundBoxTexture;
