// fuzz_off.cpp: libFuzzer target for the OFF model reader. The input is the
// file; a mesh that loads also gets its normals and its box, the two steps
// that follow the indices it holds.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "assets/box.h"
#include "assets/model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "r");
  if (!file) return 0;
  Model* model = readOffModel(file);
  fclose(file);
  if (!model) return 0;
  computeNormals(model, size % 2);
  BoundingBox box;
  boxFromPoints(model->vertices, model->vertexCount, &box);
  freeModel(model);
  return 0;
}
