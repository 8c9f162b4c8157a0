// What the command line asks for at start: settings before the panel is
// built, or exports written without any window.
#pragma once

#include <string>

#include "app/command_line.h"

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed. Called
// first of all: otherwise the next file opened (an export's temporary file,
// the X connection) would take the number, and messages meant for standard
// error would land in it.
void OpenClosedStandardStreams();

// Checks the batch outputs before anything is written: no output onto a
// terminal, whatever name reaches it ("-", /dev/stdout, /dev/tty); "-" only
// when standard output was open at start (not the /dev/null put in its
// place); and no two outputs naming one file (the
// same text, or two names of one existing file, or of one new name in one
// folder). False with a one-line reason naming both options.
bool CheckBatchOutputs(const StartOptions& options, std::string* error);

// Puts the given settings into AppState over Reset's defaults and sets the
// control points that --point names. Called after the first fill and Reset,
// and before InitGlui, so the panel shows them.
void ApplyStartSettings(const StartOptions& options);

// The windowed start, once a front end has put in its platforms and text:
// the seed the options give (if any), the graph and texture windows with
// the first fill, the defaults, the options' settings and the panel that
// shows them.
void OpenWindows(const StartOptions& options);

// Fills a lattice and writes the requested BMP and STL files as keys b and s
// would, with no window and no display. Without --seed it first prints the
// seed it took as "noisedemo: --seed=N", so the files can be made again.
// Returns the exit status: 0 when every file was written, 1 otherwise (the
// reason is on standard error).
int RunBatchExports(const StartOptions& options);
