// What a front end gives the program: its windows, their clock, their
// pixels and the end of the process.
//
// The program's behaviour (what a key, a press, a drag or a panel change does
// to the settings, and what each window must show) is written against this
// interface alone, so it includes no windowing system's header. The desktop
// front end (frontends/desktop) carries it over freeglut and X11; the headless
// one (frontends/headless) keeps windows as records, for the batch exports
// and for tests that press, drag and read back without a display.
#pragma once

#include <cstdint>

// Which of the program's windows a front end is asked to open: it routes that
// window's events to the matching calls of app/input.h and app/windows.h.
enum class AppWindow { kGraph, kTexture };

class Platform {
 public:
  virtual ~Platform() = default;

  // Opens a double-buffered RGB window at (x, y), width by height, titled,
  // cleared to black, with the callbacks `which` has; makes it current and
  // returns its id (never 0).
  virtual int OpenWindow(AppWindow which, const char* title, int x, int y, int width,
                         int height) = 0;
  virtual int CurrentWindow() = 0;  // 0 when none is current
  virtual void SetWindow(int id) = 0;
  // Asks for the current window's display callback to run once the events
  // at hand are handled.
  virtual void PostRedisplay() = 0;
  // The current window's size in pixels, and the screen's height.
  virtual int WindowWidth() = 0;
  virtual int WindowHeight() = 0;
  virtual int ScreenHeight() = 0;
  // Milliseconds since the front end started: the clock a seed is taken
  // from when none was given. The program sets no timers of its own.
  virtual uint32_t ElapsedMs() = 0;
  // False when no GL context stands behind the windows: the program then
  // computes what a window shows but issues no drawing.
  virtual bool Draws() = 0;
  // Shows the current window's back buffer.
  virtual void SwapBuffers() = 0;
  // The current window as it shows now, width by height, as tightly packed
  // RGB rows with the bottom row first; false, with nothing read, when the
  // front end cannot give it (the caller then draws it again and reads that).
  virtual bool ReadShownWindow(int width, int height, uint8_t* rgb) = 0;
  // The end of the program at the Quit button: closes `window` and ends the
  // process with status 0.
  [[noreturn]] virtual void EndProgram(int window) = 0;
  // Asked before the Quit button (or its keys) ends the program: a front end
  // whose user may lose unsaved work can let them change their mind.
  virtual bool MayEnd() { return true; }
};

// The front end in use. One is set before anything else of app/ runs.
Platform& CurrentPlatform();
void SetPlatform(Platform* platform);
