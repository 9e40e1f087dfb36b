// models.h: the seven meshes of the game, built at their final size.
#pragma once

#include "tools/mesh_builder.h"

Mesh buildPlane();
Mesh buildTrooper();
Mesh buildChute();
Mesh buildBomb();  // already shrunk for the loader's bomb stretch
Mesh buildShell();
Mesh buildMissile();
Mesh buildCannon();

class DataFolder;
// Writes every model under the file name its settings section gives.
void writeModels(const DataFolder& folder);
