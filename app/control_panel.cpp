#include "app/control_panel.h"

#include <GL/gl.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "app/app_state.h"
#include "app/choices.h"
#include "app/platform.h"
#include "app/windows.h"
#include "noise/lattice.h"
#include "toolkit/glui.h"
#include "ui/hslider.h"

namespace {

const char* const kPanelTitle = "User Interface Window";
constexpr int kSliderWidth = 200;

template <size_t N>
void AddRadioButtons(GLUI* panel, GLUI_RadioGroup* group, const Choice (&choices)[N]) {
  for (const Choice& c : choices) panel->add_radiobutton_to_group(group, c.label);
}

// A slider from -bound to bound, showing 0, disabled until a control point is
// picked under a noise type with gradients.
GLUI_HSlider* AddSlider(GLUI* panel, const char* title, float* live, int id, float bound) {
  GLUI_Panel* frame = panel->add_panel(title, GLUI_PANEL_EMBOSSED);
  GLUI_HSlider* slider =
      panel->add_hslider_to_panel(frame, 0, GLUI_HSLIDER_FLOAT, live, id, SetSliderG);
  slider->set_float_limits(-bound, bound);
  slider->set_float_val(0.0f);
  slider->set_w(kSliderWidth);
  slider->disable();
  return slider;
}

LatticePoint& CurrentPoint() { return NoiseLattice[0][App.currentPoint]; }

const char* const kViewsTitle = "Views";

// The octave chooser's number as its radio group stores it: the button's
// place, 0 for octave 1. App.views.octaveViewK is the number itself, which
// SyncPanels copies here before the group is shown again.
int OctaveViewButton = 0;
GLUI_RadioGroup* OctaveViewNumberGroup = nullptr;

// The octave number matters only when the chooser picks octaves.
void EnableOctaveViewNumber() {
  if (OctaveViewNumberGroup == nullptr) return;
  if (App.views.octaveView == kAllOctaves) {
    OctaveViewNumberGroup->disable();
  } else {
    OctaveViewNumberGroup->enable();
  }
}

void SetOctaveView(int) { EnableOctaveViewNumber(); }

void SetOctaveViewNumber(int) { App.views.octaveViewK = OctaveViewButton + 1; }

}  // namespace

void InitViewsPanel() {
  GLUI* panel = GLUI_Master.create_glui(
      kViewsTitle, 0, kPanelX + App.panel->packed_w + kViewsPanelGap, kPanelY);
  App.viewsPanel = panel;
  panel->add_statictext(kViewsTitle);
  panel->add_separator();
  for (const ViewSwitch& v : kViewSwitches) {
    const std::string label = std::string(v.label) + " (" + v.key + ")";
    panel->add_checkbox(label.c_str(), &(App.views.*v.field), -1, nullptr);
  }
  const std::string octaveTitle = "Texture's octaves (" + std::string(1, kOctaveViewKey) + ")";
  GLUI_Panel* octaveView = panel->add_panel(octaveTitle.c_str(), GLUI_PANEL_EMBOSSED);
  GLUI_RadioGroup* group =
      panel->add_radiogroup_to_panel(octaveView, &App.views.octaveView, 0, SetOctaveView);
  AddRadioButtons(panel, group, kOctaveViewChoices);

  panel->add_column(false);
  const std::string numberTitle = "k (" + std::string(1, kOctaveViewNumberKey) + ")";
  GLUI_Panel* number = panel->add_panel(numberTitle.c_str(), GLUI_PANEL_EMBOSSED);
  OctaveViewButton = App.views.octaveViewK - 1;
  OctaveViewNumberGroup =
      panel->add_radiogroup_to_panel(number, &OctaveViewButton, 0, SetOctaveViewNumber);
  for (int k = 0; k <= kMaxOctaveIndex; ++k) {
    char label[8];
    snprintf(label, sizeof label, "%d", k + 1);
    panel->add_radiobutton_to_group(OctaveViewNumberGroup, label);
  }
  EnableOctaveViewNumber();
  panel->set_main_gfx_window(App.graphWindow);
}

void InitGlui() {
  // The panel opens to the right of the graph window.
  GLUI* panel = GLUI_Master.create_glui(kPanelTitle, 0, kPanelX, kPanelY);
  App.panel = panel;

  panel->add_statictext(kPanelTitle);
  panel->add_separator();

  GLUI_Panel* noiseType = panel->add_panel("Noise Type", GLUI_PANEL_EMBOSSED);
  GLUI_RadioGroup* group = panel->add_radiogroup_to_panel(noiseType, &App.noise.noiseType, 0, SetNoiseType);
  AddRadioButtons(panel, group, kNoiseChoices);

  GLUI_Panel* interpolation = panel->add_panel("Interpolation Equation", GLUI_PANEL_EMBOSSED);
  group = panel->add_radiogroup_to_panel(interpolation, &App.noise.interpolation, -1, nullptr);
  AddRadioButtons(panel, group, kBlendChoices);

  GLUI_Panel* gradientRule =
      panel->add_panel("How to Compute the Gradient for Value-Only Noise", GLUI_PANEL_EMBOSSED);
  App.gradientRuleGroup = panel->add_radiogroup_to_panel(gradientRule, &App.noise.gradientRule, -1, nullptr);
  AddRadioButtons(panel, App.gradientRuleGroup, kSlopeChoices);

  GLUI_Panel* octaves = panel->add_panel("Number of Octaves", GLUI_PANEL_EMBOSSED);
  group = panel->add_radiogroup_to_panel(octaves, &App.noise.octaveIndex, -1, nullptr);
  for (int k = 0; k <= kMaxOctaveIndex; ++k) {
    char label[8];
    snprintf(label, sizeof label, "%2d", k + 1);
    panel->add_radiobutton_to_group(group, label);
  }

  panel->add_checkbox("Turbulence", &App.noise.turbulence, -1, nullptr);

  GLUI_Panel* texture = panel->add_panel("2D Noise Texture", GLUI_PANEL_EMBOSSED);
  group = panel->add_radiogroup_to_panel(texture, &App.colourScale, 0, SetColorScale);
  AddRadioButtons(panel, group, kScaleChoices);

  App.gradientSlider = AddSlider(panel, "Set Gradient", &App.gradientSliderValue, 0,
                                 kGradientBound);
  App.curvatureSlider = AddSlider(panel, "Set Curvature", &App.curvatureSliderValue, 1,
                                  kCurvatureBound);

  panel->add_button("Re-Randomize", 0, ReRandomize);
  panel->add_checkbox("Debug", &App.debug, -1, nullptr);

  GLUI_Panel* buttons = panel->add_panel("", GLUI_PANEL_NONE);
  panel->add_button_to_panel(buttons, "Reset", kResetButton, Buttons);
  panel->add_column_to_panel(buttons, false);
  panel->add_button_to_panel(buttons, "Quit", kQuitButton, Buttons);

  // The settings may come from the command line: the gradient rule matters
  // under value-only noise alone, as choosing the type in the panel shows.
  if (App.noise.noiseType != kValueOnly) App.gradientRuleGroup->disable();

  panel->set_main_gfx_window(App.graphWindow);
  // The toolkit's idle handling, for the sliders' auto-repeat; the program has
  // no idle function of its own.
  GLUI_Master.set_glutIdleFunc(nullptr);
}

void SyncPanels() {
  App.panel->sync_live();
  if (App.viewsPanel == nullptr) return;
  OctaveViewButton = App.views.octaveViewK - 1;
  EnableOctaveViewNumber();
  App.viewsPanel->sync_live();
}

bool ViewKey(unsigned char key) {
  const int lower = std::tolower(key);
  for (const ViewSwitch& v : kViewSwitches) {
    if (lower == v.key) {
      App.views.*v.field = !(App.views.*v.field);
      return true;
    }
  }
  if (lower == kOctaveViewKey) {
    App.views.octaveView = (App.views.octaveView + 1) % (kFirstOctaves + 1);
    return true;
  }
  if (lower == kOctaveViewNumberKey) {
    App.views.octaveViewK = App.views.octaveViewK % (kMaxOctaveIndex + 1) + 1;
    return true;
  }
  return false;
}

void SetNoiseType(int) {
  if (UsesGradients(App.noise.noiseType)) {
    if (App.currentPoint >= 0) ShowCurrentPointOnSliders();
  } else {
    App.curvatureSlider->disable();
    App.gradientSlider->disable();
  }
  if (App.noise.noiseType == kValueOnly) {
    App.gradientRuleGroup->enable();
  } else {
    App.gradientRuleGroup->disable();
  }
}

void ShowCurrentPointOnSliders() {
  App.curvatureSlider->enable();
  App.gradientSlider->enable();
  App.curvatureSliderValue = CurrentPoint().cx;
  App.gradientSliderValue = CurrentPoint().gx;
  App.panel->sync_live();
}

void SetColorScale(int) {
  if (App.debug) fprintf(stderr, "SetColorScale\n");
  PostGraphRedisplay();
  CurrentPlatform().SetWindow(App.textureWindow);
  CurrentPlatform().PostRedisplay();
}

void SetSliderG(int) {
  if (App.debug) fprintf(stderr, "SetSliderG\n");
  if (App.currentPoint < 0) return;
  CurrentPoint().cx = App.curvatureSliderValue;
  CurrentPoint().gx = App.gradientSliderValue;
}

void ReRandomize(int) {
  FillNewLattice();
  App.panel->sync_live();
  PostGraphRedisplay();
}

void Buttons(int id) {
  if (id == kResetButton) {
    Reset();
    SyncPanels();
    PostGraphRedisplay();
  } else if (id == kQuitButton) {
    if (!CurrentPlatform().MayEnd()) return;
    App.panel->close();
    if (App.viewsPanel != nullptr) App.viewsPanel->close();
    if (CurrentPlatform().Draws()) glFinish();
    CurrentPlatform().EndProgram(App.graphWindow);
  }
}
