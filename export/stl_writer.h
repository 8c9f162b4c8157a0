// The STL height field as a closed, coloured ASCII STL solid (the solid
// itself: export/stl_solid.h). The format core writes to a ByteSink; SaveStl
// puts that into a file safely.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "export/byte_sink.h"
#include "export/stl_solid.h"

// Writes "solid noise" to "endsolid" from the grid and colours: the top
// surface, the white colour line, the walls and the base, 81590 facets,
// counting on *facets. Prints the progress marks and the line end after them
// on progress (when not null). Stops at the first failed write and returns
// false.
bool WriteStlSolid(ByteSink& file, const StlGrid& grid, const StlColours rgb, FILE* progress,
                   int* facets);

// Writes the solid to fileName, replacing a file of that name only once the
// new one is complete. On messages: "Writing STL file '%s':", the progress
// (only when messages is a terminal), then "%d triangles written.\n"; or "Cannot create STL file '%s'\n" alone
// when the file cannot be created, or "Cannot write STL file '%s'\n" after a
// failure on the way. True when the file was written.
bool SaveStl(const std::string& fileName, const StlGrid& grid, const StlColours rgb,
             FILE* messages);

// What both STL formats share when saving: "Writing STL file '%s':" once the
// file is created, `write` producing the solid and counting its facets, then
// "%d triangles written.\n"; or the failure lines with their reason.
bool SaveStlFile(const std::string& fileName, FILE* messages,
                 const std::function<bool(ByteSink&, int*)>& write);
