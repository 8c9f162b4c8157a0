// The master object: creating panel windows and the toolkit's idle handling.
#include <algorithm>

#include "toolkit/glui.h"
#include "toolkit/glui_platform.h"

GLUI_Master_Object GLUI_Master;

GLUI_Master_Object::GLUI_Master_Object()
    : user_idle(nullptr), idle_enabled(false), idle_is_installed(false) {}

// At exit, possibly from inside a control's callback (Quit): nothing below
// returns into the freed controls, and no window is touched.
GLUI_Master_Object::~GLUI_Master_Object() {
  for (GLUI* glui : guis) delete glui;
  for (GLUI* glui : closed) delete glui;
}

GLUI* GLUI_Master_Object::create_glui(const char* name, long flags, int x, int y) {
  const int window_id = GLUI_GetPlatform().create_window(name ? name : "", x, y);
  GLUI* glui = new GLUI(name, flags, window_id);
  guis.push_back(glui);
  glui->pack();
  return glui;
}

GLUI* GLUI_Master_Object::find_glui_by_window_id(int window_id) const {
  for (GLUI* glui : guis) {
    if (glui->glut_window_id == window_id) return glui;
  }
  return nullptr;
}

void GLUI_Master_Object::forget(GLUI* glui) {
  const auto open_end = std::remove(guis.begin(), guis.end(), glui);
  if (open_end == guis.end()) return;
  guis.erase(open_end, guis.end());
  closed.push_back(glui);
}

void GLUI_Master_Object::set_glutIdleFunc(void (*f)()) {
  user_idle = f;
  idle_enabled = true;
  update_idle();
}

void GLUI_Master_Object::idle() {
  // A control's idle step may call back into the program, which may close a
  // window: walk a copy.
  const std::vector<GLUI*> windows = guis;
  for (GLUI* glui : windows) glui->idle();
  if (user_idle) user_idle();
  update_idle();
}

// GLUT calls an installed idle function without pause, which would keep a
// core busy for as long as the program runs. The handler is therefore
// installed only while a control is asking for idle time (a slider arrow
// held down) or the program has an idle function of its own.
void GLUI_Master_Object::update_idle() {
  bool wanted = false;
  if (idle_enabled) {
    wanted = user_idle != nullptr;
    for (const GLUI* glui : guis) wanted = wanted || glui->needs_idle();
  }
  if (wanted != idle_is_installed) {
    idle_is_installed = wanted;
    GLUI_GetPlatform().set_idle(wanted);
  }
}
