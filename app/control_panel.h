// The control panel: a toolkit window whose controls write the settings of
// AppState directly, and the callbacks that do more than store a value.
#pragma once

// Builds the panel at (750, 0), every control showing the value its setting
// holds (start-up calls it after Reset), with both sliders disabled.
void InitGlui();

// Builds the Views panel beside the first (start-up calls it after
// InitGlui): a check box per teaching view, with its key in the label, and
// the octave chooser, every control showing its setting.
void InitViewsPanel();

// Shows the settings again on both panels (after a key, Reset or a start
// option changed them), calling no callback.
void SyncPanels();

// A view's key: toggles its view, or steps the octave chooser (kViewSwitches,
// kOctaveViewKey, kOctaveViewNumberKey in app/choices.h). False, with
// nothing changed, for any other key.
bool ViewKey(unsigned char key);

// "Noise Type": under the gradient noise types, enables both sliders and loads
// them from the current control point (if one is current); under value-only
// noise, disables them. The gradient rule only matters under value-only
// noise, so its group is enabled there alone.
void SetNoiseType(int id);

// "2D Noise Texture": redisplays both graphics windows.
void SetColorScale(int id);

// Both sliders: stores both slider values into the current control point's
// curvature x and gradient x, whichever slider moved.
void SetSliderG(int id);

// "Re-Randomize": a new random lattice, continuing the generator's sequence.
void ReRandomize(int id);

// "Reset" restores the default settings and shows them; "Quit" closes the
// windows and ends the process with status 0 (the quit keys call it too).
enum ButtonId { kResetButton = 0, kQuitButton = 1 };
void Buttons(int id);

// Enables both sliders and shows the current control point's curvature and
// gradient on them, which they then set. A point must be current.
void ShowCurrentPointOnSliders();
