// How the program ends when something other than the Quit button ends it: a
// signal, a window destroyed by another client, a lost X connection. Each
// removes the temporary file of an export in progress first, and none runs
// exit handlers, which could block for good on a lock a dying GLX holds.
#pragma once

// SIGPIPE ignored, so a write to a closed stream is only lost; SIGXFSZ
// ignored, so a file past the size limit is a failed write with its reason.
// Every other catchable signal whose default ends the process (SIGTERM,
// SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGALRM, ...) removes the export's
// temporary file, then ends the process as the signal itself would. A signal
// ignored at start, or already handled, is left as it was.
void InstallSignalHandlers();

// X error and X I/O error handlers. After glutInit. A lost connection prints
// "noisedemo: lost the connection to the X display" and ends with status 1;
// any other unexpected X error prints it and ends with status 1.
void InstallXErrorHandlers();

// Watches the current GLUT window, titled `title`: when another client
// destroys it (its DestroyNotify, or an X error about it), the program prints
// "noisedemo: the window '<title>' was closed; exiting" and ends with status 0.
// A window the program closes itself (Quit, a window manager's close) does not
// count.
void WatchCurrentWindow(const char* title);
