#include "toolkit/glui_platform.h"

namespace {

// The platform before a front end puts in its own: no windows, no events.
// The toolkit never needs one to lay a panel out, only to show it.
class NoWindows : public GLUI_Platform {
 public:
  int create_window(const char*, int, int) override { return 0; }
  void destroy_window(int) override {}
  int get_window() override { return 0; }
  void set_window(int) override {}
  void post_redisplay(int) override {}
  void reshape_window(int, int, int) override {}
  void set_cursor(int) override {}
  int modifiers() override { return 0; }
  void set_idle(bool) override {}
  uint32_t ticks_ms() override { return 0; }
};

NoWindows no_windows;
GLUI_Platform* current_platform = &no_windows;

}  // namespace

GLUI_Platform& GLUI_GetPlatform() { return *current_platform; }

GLUI_Platform* GLUI_SetPlatform(GLUI_Platform* platform) {
  GLUI_Platform* previous = current_platform;
  current_platform = platform ? platform : &no_windows;
  return previous;
}
