// For tests that build the control panel: finding and clicking its controls,
// the graph's dots, and closing the panel again afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "noise/lattice.h"
#include "render/graph_layout.h"
#include "toolkit/glui.h"
#include "toolkit/glui_platform.h"

// The control named `name` at or below `c` (the open panel's by default).
inline GLUI_Control* Find(const std::string& name, GLUI_Control* c = nullptr) {
  if (c == nullptr) c = App.panel->main_panel;
  if (c->name == name) return c;
  for (GLUI_Control* child : c->children)
    if (GLUI_Control* found = Find(name, child)) return found;
  return nullptr;
}

// A press and a release just inside the control labelled `label`, through
// `mouse(down, x, y)`: the panel's own handler unless a test drives a front
// end's events.
template <typename Mouse>
void ClickPanel(const std::string& label, Mouse mouse) {
  const GLUI_Control* c = Find(label);
  ASSERT_NE(c, nullptr) << label;
  mouse(true, c->x_abs + 4, c->y_abs + 4);
  mouse(false, c->x_abs + 4, c->y_abs + 4);
}
inline void ClickPanel(const std::string& label) {
  ClickPanel(label, [](bool down, int x, int y) {
    App.panel->mouse(GLUI_GLUT_LEFT_BUTTON, down ? GLUI_GLUT_DOWN : GLUI_GLUT_UP, x, y);
  });
}

// Window pixel (from the top left) of control point i's dot in a graph
// window at its opening size, over which the drawing's units are stretched.
inline int DotX(int i) {
  return (kLeftMargin + i * kGraphWidth / (kControlPoints - 1)) * kGraphWindowWidth / kGraphUnitsWide;
}
inline int DotY(int i) {
  const int up = kBottomMargin + static_cast<int>(NoiseLattice[0][i].value * kGraphHeight);
  return (kGraphUnitsHigh - up) * kGraphWindowHeight / kGraphUnitsHigh;
}

// Closes every panel the test opened, puts back the toolkit platform it had
// before, and forgets the handles AppState kept of the panel.
inline void ClosePanels(GLUI_Platform* previous) {
  for (GLUI* g : std::vector<GLUI*>(GLUI_Master.guis)) g->close();
  GLUI_SetPlatform(previous);
  App.panel = nullptr;
  App.gradientSlider = App.curvatureSlider = nullptr;
  App.gradientRuleGroup = nullptr;
}
