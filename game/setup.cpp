// setup.cpp: loading the models into the world and starting level 1.
#include "game/setup.h"

#include <cstdlib>

#include "assets/box.h"
#include "assets/model.h"
#include "game/rules.h"
#include "game/world.h"
#include "terrain/terrain.h"

namespace {

struct LoadedModel {
  Model* model;
  BoundingBox* box;
};

// Loads, places, gives normals to and boxes one model. The bomb gets its
// own stretch along the world axes after its turns.
LoadedModel prepareModel(const ModelSection& section, bool bomb) {
  Model* model = loadOffModel(section.file);
  float scale = section.scale;
  if (bomb)
    pretransformBombModel(model, static_cast<float>(0.5 * scale), static_cast<float>(5.0 * scale),
                          static_cast<float>(5.0 * scale), section.tx, section.ty, section.tz,
                          section.zTurn, section.yTurn);
  else
    pretransformModel(model, scale, section.tx, section.ty, section.tz, section.zTurn,
                      section.yTurn);
  computeNormals(model, section.flip);
  BoundingBox* box = static_cast<BoundingBox*>(malloc(sizeof(BoundingBox)));
  boxFromPoints(model->vertices, model->vertexCount, box);
  return {model, box};
}

}  // namespace

void setUpWorld(const SettingsFile& file) {
  settings = file.values;
  const Settings& s = settings;
  const ModelSection* sections = file.models;

  buildTerrain(static_cast<float>(s.arenaHalfSize * 1.5), 48,
               static_cast<float>(s.arenaHalfSize * 2.25));

  LoadedModel plane = prepareModel(sections[planeKind], false);
  for (Plane& p : planes) {
    p.model = plane.model;
    p.modelBox = plane.box;
  }
  LoadedModel trooper = prepareModel(sections[trooperKind], false);
  LoadedModel chute = prepareModel(sections[chuteKind], false);
  for (Trooper& t : troopers) {
    t.model = trooper.model;
    t.modelBox = trooper.box;
    t.chuteModel = chute.model;
    t.chuteModelBox = chute.box;
  }
  LoadedModel bomb = prepareModel(sections[bombKind], true);
  for (Bomb& b : bombs) {
    b.model = bomb.model;
    b.modelBox = bomb.box;
  }
  LoadedModel shell = prepareModel(sections[shellKind], false);
  for (Shell& sh : shells) {
    sh.model = shell.model;
    sh.modelBox = shell.box;
  }
  lastShotMs = 0;
  LoadedModel missileModel = prepareModel(sections[missileKind], false);
  missile.model = missileModel.model;
  missile.modelBox = missileModel.box;
  LoadedModel cannonModel = prepareModel(sections[cannonKind], false);
  cannon.model = cannonModel.model;
  cannon.modelBox = cannonModel.box;

  game.level = 0;
  startLevel();
}

void releaseModels() {
  freeModel(planes[0].model);
  free(planes[0].modelBox);
  freeModel(troopers[0].model);
  free(troopers[0].modelBox);
  freeModel(troopers[0].chuteModel);
  free(troopers[0].chuteModelBox);
  freeModel(bombs[0].model);
  free(bombs[0].modelBox);
  freeModel(shells[0].model);
  free(shells[0].modelBox);
  freeModel(cannon.model);
  free(cannon.modelBox);
  freeModel(missile.model);
  free(missile.modelBox);
}
