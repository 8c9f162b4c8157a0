// The texture window: refilling the noise image and drawing it.
#pragma once

// Recomputes every texel of NoiseTexture from the lattice and the settings,
// and leaves the texture window current. Draws nothing.
void FillTexture();

// The texture window's display callback: uploads NoiseTexture and draws it
// stretched over the whole window with linear filtering.
void TextureDisplay();

// TextureDisplay without the buffer swap: the current image, drawn into the
// texture window's back buffer only.
void DrawTexture();
