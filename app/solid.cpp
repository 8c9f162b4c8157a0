#include "app/solid.h"

#include "render/colour_scale.h"

void SampleSolid(const NoiseSettings& settings, Solid* solid) {
  SampleHeightField(settings, &solid->field);
  LoadStlGrid(solid->field.height, &solid->grid);
  for (int i = 0; i < kStlGridSize; i++)
    for (int j = 0; j < kStlGridSize; j++) HeightColour(solid->field.sum[i][j], solid->rgb[i][j]);
}
