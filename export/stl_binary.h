// The STL height field as a compact binary STL: the very solid of the ASCII
// file (export/stl_solid.h), facet for facet, with colours in the layout
// that begins with "COLOR=" (Materialise's):
//
// - the 80-byte header holds "COLOR=" and four bytes, red, green, blue and
//   alpha, the default colour, then ",MATERIAL=" and three such colours,
//   diffuse, specular and ambient. Some readers (MeshLab's among them) take
//   this layout only when both words stand in the header, and read the
//   header as text up to its first zero byte: no zero byte comes before them;
// - each facet's 16-bit attribute word holds its colour, red in bits 0-4,
//   green in bits 5-9, blue in bits 10-14 (each channel as round(c * 31)),
//   bit 15 clear ("this facet has its own colour").
//
// The walls and the base carry the default grey in their own words rather
// than bit 15 set ("use the default colour"): readers that ignore bit 15
// would show them black. The other layout in use reverses the channels and
// the meaning of bit 15; the two are never mixed here.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "export/byte_sink.h"
#include "export/stl_solid.h"

constexpr uint32_t kStlBinarySize = 84 + 50 * static_cast<uint32_t>(kStlFacetCount);

// The default colour of the walls and the base: a neutral grey, opaque; and
// the material after it in the header: diffuse, specular, ambient.
constexpr uint8_t kStlDefaultColour[4] = {128, 128, 128, 255};
constexpr uint8_t kStlMaterial[12] = {128, 128, 128, 255, 51, 51, 51, 255, 64, 64, 64, 255};

// The default grey as a facet's own colour word: round(128 / 255 * 31) = 16
// in each channel, bit 15 clear.
constexpr uint16_t kStlWallColour = 16 | 16 << 5 | 16 << 10;

// The attribute word of a facet of colour (red, green, blue in 0..1).
uint16_t StlFacetColour(const float colour[3]);

// Writes the 80-byte header, the facet count and the facets of the grid
// and colours, counting on *facets. Stops at the first failed write and
// returns false.
bool WriteStlBinary(ByteSink& file, const StlGrid& grid, const StlColours rgb, int* facets);

// Writes the solid to fileName safely, reporting on messages as SaveStl
// does (without progress marks): "Writing STL file '%s':", then
// "%d triangles written.\n"; or why it could not. True when written.
bool SaveStlBinary(const std::string& fileName, const StlGrid& grid, const StlColours rgb,
                   FILE* messages);
