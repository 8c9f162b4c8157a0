// The STL height field as a compact binary STL: the very solid of the ASCII
// file (export/stl_solid.h), facet for facet, with colours in the "COLOR="
// convention that MeshLab, among others, reads:
//
// - the 80-byte header starts with "COLOR=" and four bytes, red, green, blue
//   and alpha, the default colour;
// - each facet's 16-bit attribute word holds its colour, red in bits 0-4,
//   green in bits 5-9, blue in bits 10-14 (each channel as round(c * 31)),
//   with bit 15 clear meaning "this facet has its own colour" and set
//   meaning "use the default colour".
//
// The other convention in use reverses the channels and the meaning of bit
// 15; the two are never mixed here.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "export/byte_sink.h"
#include "export/sink_decorator.h"
#include "export/stl_solid.h"

constexpr uint32_t kStlBinarySize = 84 + 50 * static_cast<uint32_t>(kStlFacetCount);

// The default colour of the walls and the base: a neutral grey, opaque.
constexpr uint8_t kStlDefaultColour[4] = {128, 128, 128, 255};
constexpr uint16_t kStlUseDefaultColour = 0x8000;

// The attribute word of a facet of colour (red, green, blue in 0..1).
uint16_t StlFacetColour(const float colour[3]);

// Writes the 80-byte header, the facet count and the facets of the grid
// (LoadStlGrid) and colours, counting on *facets. Stops at the first failed
// write and returns false. Leaves GridZ at the base height.
bool WriteStlBinary(ByteSink& file, const StlColours rgb, int* facets);

// Writes the solid to fileName safely, reporting on messages as SaveStl
// does (without progress marks): "Writing STL file '%s':", then
// "%d triangles written.\n"; or why it could not. True when written.
bool SaveStlBinary(const std::string& fileName, const StlColours rgb, FILE* messages,
                   const SinkDecorator& decorate = nullptr);
