// The toolkit's one door to the windowing system.
//
// Every behaviour of the toolkit that reaches GLUT (windows, redisplays,
// cursors, the idle handler, text widths, the clock) goes through the current
// GLUI_Platform. The program runs on the GLUT one (glut_platform.cpp); unit
// tests put in a fake that records the calls, so the toolkit's behaviour runs
// without an X display.
#pragma once

#include <cstdint>

#include "text/text.h"

class GLUI_Platform {
 public:
  virtual ~GLUI_Platform() = default;

  // Creates a top-level window with the toolkit's callbacks, placed at (x, y)
  // when either is >= 0, and returns its id. Leaves the previously current
  // window current.
  virtual int create_window(const char* title, int x, int y) = 0;
  virtual void destroy_window(int window_id) = 0;
  virtual int get_window() = 0;  // 0 when no window is current
  virtual void set_window(int window_id) = 0;
  // Posts a redisplay of the window; the current window stays current.
  virtual void post_redisplay(int window_id) = 0;
  // Resizes the window; the current window stays current.
  virtual void reshape_window(int window_id, int width, int height) = 0;
  virtual void set_cursor(int cursor) = 0;  // of the current window
  virtual int modifiers() = 0;              // GLUT_ACTIVE_* of the event being handled
  // Installs (true) or removes (false) the toolkit's idle handler.
  virtual void set_idle(bool installed) = 0;
  // A monotonic millisecond tick count.
  virtual uint32_t ticks_ms() = 0;
};

// The current platform: the front end's, or a test's fake. Until one is put
// in, windows cannot be made (create_window returns 0) and nothing is posted.
GLUI_Platform& GLUI_GetPlatform();
// Puts in another platform (null: back to none). Returns the previous one.
GLUI_Platform* GLUI_SetPlatform(GLUI_Platform* platform);

// GLUT's windows and bitmap fonts (glut_platform.cpp, the only file of the
// toolkit that includes GLUT): the desktop front end puts in the platform
// with GLUI_SetPlatform and the fonts with SetText before the panel is built.
GLUI_Platform& GLUI_GlutPlatform();
TextRenderer& GLUI_GlutText();

// The toolkit's captions: every width it lays out or centres by.
inline int GLUI_TextWidth(const char* text) { return Text().width(TextFont::kHelvetica12, text); }

// GLUT's values, for code that must not include GLUT's header.
enum {
  GLUI_GLUT_LEFT_BUTTON = 0,
  GLUI_GLUT_DOWN = 0,
  GLUI_GLUT_UP = 1,
  GLUI_GLUT_ACTIVE_SHIFT = 1,
  GLUI_GLUT_CURSOR_LEFT_ARROW = 1,
  GLUI_GLUT_CURSOR_LEFT_RIGHT = 11
};
