// For tests that build the control panel: closing it again afterwards.
#pragma once

#include <vector>

#include "app/app_state.h"
#include "toolkit/glui.h"
#include "toolkit/glui_platform.h"

// Closes every panel the test opened, puts back the toolkit platform it had
// before, and forgets the handles AppState kept of the panel.
inline void ClosePanels(GLUI_Platform* previous) {
  for (GLUI* g : std::vector<GLUI*>(GLUI_Master.guis)) g->close();
  GLUI_SetPlatform(previous);
  App.panel = nullptr;
  App.gradientSlider = App.curvatureSlider = nullptr;
  App.gradientRuleGroup = nullptr;
}
