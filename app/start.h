// What the command line asks for at start: settings before the panel is
// built, or exports written without any window.
#pragma once

#include "app/command_line.h"

// Puts the given settings into AppState over Reset's defaults and sets the
// control points that --point names. Called after the first fill and Reset,
// and before InitGlui, so the panel shows them.
void ApplyStartSettings(const StartOptions& options);

// Fills a lattice and writes the requested BMP and STL files as keys b and s
// would, with no window and no display. Returns the exit status: 0 when
// every file was written, 1 otherwise (the reason is on standard error).
int RunBatchExports(const StartOptions& options);
