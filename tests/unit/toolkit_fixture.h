// A toolkit without a display: a platform that records what the toolkit asks
// of GLUT, a clock the test sets, and a panel window to add controls to.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "toolkit/glui.h"
#include "toolkit/glui_platform.h"

// Every character six pixels wide: layout tests need widths, not a font.
class FakeText : public TextRenderer {
 public:
  int width(TextFont, const char* text) override { return 6 * static_cast<int>(std::strlen(text)); }
  int line_height(TextFont) override { return 12; }
  void draw(TextFont, float, float, float, const char*) override {}
};

class FakePlatform : public GLUI_Platform {
 public:
  int next_window = 100;
  int current = 0;
  std::vector<std::string> titles;
  std::vector<int> destroyed;
  std::vector<int> redisplays;  // window ids, in order
  int width = 0, height = 0;    // the last reshape
  int cursor = -1;
  int modifier_keys = 0;
  bool idle_installed = false;
  int idle_changes = 0;
  uint32_t now = 5000;

  int create_window(const char* title, int, int) override {
    titles.push_back(title);
    return next_window++;
  }
  void destroy_window(int id) override { destroyed.push_back(id); }
  int get_window() override { return current; }
  void set_window(int id) override { current = id; }
  void post_redisplay(int id) override { redisplays.push_back(id); }
  void reshape_window(int, int w, int h) override {
    width = w;
    height = h;
  }
  void set_cursor(int c) override { cursor = c; }
  int modifiers() override { return modifier_keys; }
  void set_idle(bool on) override {
    idle_installed = on;
    ++idle_changes;
  }
  uint32_t ticks_ms() override { return now; }

  int RedisplaysOf(int id) const {
    int n = 0;
    for (int r : redisplays) n += r == id;
    return n;
  }
};

// One call of a control's callback, with what the program would see then.
struct CallbackCall {
  int id;
  int current_window;
  float live;  // the watched live variable at the time of the call
};

class ToolkitTest : public ::testing::Test {
 protected:
  static constexpr int kGraphWindow = 1;
  static constexpr int kPanelWindowCurrent = 7;

  FakePlatform platform;
  FakeText text;
  GLUI* glui = nullptr;
  GLUI_Platform* previous = nullptr;
  TextRenderer* previous_text = nullptr;

  static std::vector<CallbackCall>& Calls() {
    static std::vector<CallbackCall> calls;
    return calls;
  }
  // What the callback reports as "live"; tests point it at their variable.
  static const float*& WatchedFloat() {
    static const float* watched = nullptr;
    return watched;
  }
  static const int*& WatchedInt() {
    static const int* watched = nullptr;
    return watched;
  }
  static FakePlatform*& Active() {
    static FakePlatform* active = nullptr;
    return active;
  }
  static void Record(int id) {
    float live = 0.0f;
    if (WatchedFloat()) live = *WatchedFloat();
    if (WatchedInt()) live = static_cast<float>(*WatchedInt());
    Calls().push_back({id, Active()->current, live});
  }

  void SetUp() override {
    previous = GLUI_SetPlatform(&platform);
    previous_text = SetText(&text);
    Active() = &platform;
    Calls().clear();
    WatchedFloat() = nullptr;
    WatchedInt() = nullptr;
    glui = GLUI_Master.create_glui("Test panel", 0, -1, -1);
    glui->set_main_gfx_window(kGraphWindow);
    GLUI_Master.set_glutIdleFunc(nullptr);
    platform.current = kPanelWindowCurrent;
  }

  void TearDown() override {
    for (GLUI* g : std::vector<GLUI*>(GLUI_Master.guis)) g->close();
    GLUI_SetPlatform(previous);
    SetText(previous_text);
  }

  // A press and a release at the centre of a control, as a person clicks.
  void Click(const GLUI_Control* c) { ClickAt(c->x_abs + c->w / 2, c->y_abs + c->h / 2); }
  void ClickAt(int x, int y) {
    glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_DOWN, x, y);
    glui->mouse(GLUI_GLUT_LEFT_BUTTON, GLUI_GLUT_UP, x, y);
  }
};
