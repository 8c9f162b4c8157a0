// The exports as the keys ask for them: the texture window read back as it
// shows now, or the current noise sampled, saved in the current folder under
// a name made from the settings, with the messages on standard error.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "app/export_formats.h"

// What the format's key writes: for the images, what the texture window
// shows now, at its current size; for the heightmap and the solids, the
// current noise. Key s writes the BMP snapshot first, then the ASCII solid.
void WriteExport(ExportFormat format);

// That format's file alone (key s's solid without its picture): what a
// page's saved-again link makes anew.
void WriteExportFile(ExportFormat format);

// A snapshot (bottom row first, as read back) as an 8-bit RGB PNG with our
// text chunks; "Image file '%s' created." on success. True when written.
bool SaveSnapshotPng(const std::string& fileName, const uint8_t* rgb, int width, int height,
                     FILE* messages);

