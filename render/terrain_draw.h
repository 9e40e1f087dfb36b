// terrain_draw.h: drawing the height field (terrain/terrain.h).
//
// The renderer compiles drawTerrain into terrainList once the terrain is
// built, and again when the detail level changes; the scene calls that list
// every frame, and in low detail drawTerrainRim after the sky.
#pragma once

// Issues the textured, faded terrain mesh. In low detail the list holds only
// the opaque inner ground and keeps the fading rim for drawTerrainRim.
void drawTerrain();

// Low detail: the fading rim, blended over what is drawn. Draws nothing in
// high detail.
void drawTerrainRim();

// Compiles drawTerrain into terrainList.
void compileTerrainList();
