#include "render/texture_image.h"

#include "app/app_state.h"
#include "render/color_scale.h"

TextureRow NoiseTexture[kTextureSize];

void FillTextureImageReference(TextureRow* image) {
  for (int i = 0; i < kTextureSize; i++) {
    for (int j = 0; j < kTextureSize; j++) {
      NoiseColorBytes(FractalNoise2D(i, j), App.colorScale, image[i][j]);
    }
  }
}

