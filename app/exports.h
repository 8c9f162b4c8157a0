// The exports as the keys ask for them: the texture window read back as it
// shows now, or the current noise sampled, saved in the current folder under
// a name made from the settings, with the messages on standard error.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// The two formats a snapshot of the texture window can take.
enum class SnapshotFormat { kBmp, kPng };

// Keys b and p: what the texture window shows now, at its current size.
void WriteSnapshot(SnapshotFormat format);

// A snapshot (bottom row first, as read back) as an 8-bit RGB PNG with our
// text chunks; "Image file '%s' created." on success. True when written.
bool SaveSnapshotPng(const std::string& fileName, const uint8_t* rgb, int width, int height,
                     FILE* messages);

// Key h: the 16-bit heightmap of the current noise.
void WriteHeightmap();

// Key s (after the BMP) and key m: the solid as an ASCII or a binary STL.
void WriteStl();
void WriteStlBinary();
