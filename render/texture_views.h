// The texture window's teaching views: which octaves it shows, and what is
// drawn over the noise (the lattice, the probe's breakdown of one texel, the
// statistics, the captions that say what is shown).
//
// Everything is drawn in software into the RGB image itself, with the
// program's own glyph tables, so the window, its read-back, the batch
// exports and the page all carry the very same pixels. Pure: no GL, no
// program state; app/ hands in the settings, the views and the pointer.
#pragma once

#include "noise/hermite.h"
#include "noise/noise2d.h"
#include "render/teaching_views.h"
#include "render/texture_image.h"

// The octaves the texture shows: settings.octaveIndex is the last, and
// firstOctave (0-based) the first, which is drawn at full weight.
struct ShownOctaves {
  NoiseSettings settings;
  int firstOctave;
};

// The octave view applied to the panel's settings. The chosen octave (or
// count) is held to the octaves the settings add, so every view shows part of
// what the panel set and never more.
ShownOctaves ShowOctaves(const NoiseSettings& settings, const TeachingViews& views);

// The lattice cell of one octave under one texel, taken apart as Noise2D
// puts it together.
struct ProbeCorner {
  float value;   // the corner value the blend reads (the midpoint under gradient-only)
  float gx, gy;  // the slopes it reads (zero under value-only noise)
  double contribution;  // this corner's share of the octave's noise value
};

struct TexelProbe {
  int row, column;    // the texel
  int octave;         // 0-based: the first octave shown
  int cellX, cellY;   // the cell's lower left lattice point at that octave
  float fx, fy;       // where the texel lies in the cell
  HermiteWeights wx, wy;   // the blend's weights along x and y
  ProbeCorner corners[4];  // 00, 10, 01, 11: p10 one column along, p01 one row up
  float noise;        // Noise2D at the texel for that octave, as the sum reads it
  float value;        // the texel's value in [0, 1] as shown
  bool gradients;     // whether the noise type reads slopes
  // The sum of |every product of a corner field and two weights|: the
  // scale of the rounding bound between the contributions and `noise`.
  double magnitude;
};

// The probe of texel (row, column), both 0..kTextureSize - 1, under the
// shown octaves. The four contributions are computed in double from the very
// float corners and weights Noise2D multiplies, so their sum differs from
// `noise` only by Noise2D's own float rounding (see the .cpp for the bound).
TexelProbe ProbeTexel(int row, int column, const ShownOctaves& shown,
                      const Lattice& lattice = NoiseLattice);

struct TextureStats {
  float minimum, maximum;
  double mean;  // summed in double, row 0 first
};

// Over kTextureSize * kTextureSize values, row 0 first.
TextureStats StatsOf(const float* values);

// What the overlays draw from, beside the image.
struct TextureOverlay {
  ShownOctaves shown;
  int settingOctaves;  // the octaves the panel set, for the captions
  TeachingViews views;
  int pointerRow, pointerColumn;  // the texel the probe and the pointer's value read
  const float* values;            // the image's values (for the statistics), or null
  const Lattice* lattice;
  // Whether the captions and numbers are drawn, or only the lines and marks
  // (see kOverlayTextMinSide).
  bool text = true;
};

// The views' text is drawn only in a texture window whose smaller side has
// at least this many pixels. The image is stretched over the window, so its
// 9 by 15 glyphs shrink with it: at 3/4 of the image's 512 texels a glyph is
// 7 by 11 pixels, as small as a fixed font is still read, and its one-texel
// strokes still land on a pixel each; below that they blur into one another
// and a number misread is worse than none. The lines and marks are drawn at
// every size; enlarging the window brings the text back.
constexpr int kOverlayTextMinSide = 384;

// Whether the views draw anything over the noise (the octave views alone
// draw their caption).
bool OverlaysShown(const TeachingViews& views);

// Draws the views' lines, arrows and text over image, whose noise must be the
// shown octaves' (row 0 at the bottom).
void DrawTextureOverlays(TextureRow* image, const TextureOverlay& overlay);

// The lattice is drawn for cells at least this many texels across, its
// arrows for cells at least this wide (see the .cpp for why).
constexpr int kLatticeLineMinCell = 16;
constexpr int kLatticeArrowMinCell = 32;

// Texels across one lattice cell at 0-based octave k: 64 at the first.
inline int CellTexels(int octave) {
  return (kTextureSize / static_cast<int>(kTextureSpan)) >> octave;
}
