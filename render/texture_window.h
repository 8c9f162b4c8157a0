// Drawing the noise texture: the image uploaded and stretched over the whole
// current window with linear filtering.
#pragma once

#include "render/texture_image.h"

// Draws `image` into the current window's back buffer, a window of width by
// height pixels, through the texture object *textureName of the window's
// context (made on the first draw, while *textureName is 0, and kept by the
// caller for the next). Swapping is the caller's.
void DrawTextureImage(const TextureRow* image, int width, int height, unsigned* textureName);
