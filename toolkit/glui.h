// Our own GLUI-compatible panel toolkit: the part of the GLUI 2 programming
// interface that the control panel uses, written for this program.
//
// A GLUI window is a real top-level GLUT window holding a tree of controls:
// panels (framed boxes, or invisible groupings), static text, separators,
// radio groups with their buttons, check boxes, buttons and columns. Controls
// write their "live variables" (plain ints and floats of the application)
// when the user changes them, call the application's callback with the main
// graphics window current, and post a redisplay of that window.
//
// Layers inside the toolkit:
//   behaviour  hit tests, state changes, value steps, live variables, packing
//              (glui_control.cpp, glui_controls.cpp, glui_window.cpp,
//              glui_master.cpp): plain code that unit tests drive without a
//              display; every call out to the windowing system goes through
//              GLUI_Platform (glui_platform.h).
//   drawing    the draw() of every control and the window's display pass
//              (glui_draw.cpp): reads state, changes none.
//   GLUT       the real platform and the GLUT callbacks (glut_platform.cpp).
//
// The toolkit knows nothing of noise or of the program that uses it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class GLUI;
class GLUI_Control;
class GLUI_Panel;
class GLUI_StaticText;
class GLUI_Separator;
class GLUI_RadioGroup;
class GLUI_RadioButton;
class GLUI_Checkbox;
class GLUI_Button;
class GLUI_Column;
class GLUI_HSlider;  // the horizontal slider lives in ui/

typedef void (*GLUI_Update_CB)(int id);

// Kinds of live variable.
enum { GLUI_LIVE_NONE = 0, GLUI_LIVE_INT = 1, GLUI_LIVE_FLOAT = 2 };

// Panel frames.
enum { GLUI_PANEL_NONE = 0, GLUI_PANEL_EMBOSSED = 1, GLUI_PANEL_RAISED = 2 };

// Control type numbers. 1 to 17 belong to the toolkit's built-in kinds (this
// layer implements only those the panel needs); controls added on top of the
// toolkit number themselves from 18.
enum {
  GLUI_CONTROL_CHECKBOX = 1,
  GLUI_CONTROL_BUTTON = 2,
  GLUI_CONTROL_RADIOBUTTON = 3,
  GLUI_CONTROL_RADIOGROUP = 4,
  GLUI_CONTROL_STATICTEXT = 6,
  GLUI_CONTROL_COLUMN = 13,
  GLUI_CONTROL_SEPARATOR = 14,
  GLUI_CONTROL_PANEL = 15,
  GLUI_CONTROL_LAST_BUILTIN = 17
};

// How a control was activated (activate()'s argument).
enum { GLUI_ACTIVATE_MOUSE = 1, GLUI_ACTIVATE_TAB = 2 };

// The toolkit's standard images, drawn at a control's corner.
enum {
  GLUI_STDBITMAP_CHECKBOX_OFF,
  GLUI_STDBITMAP_CHECKBOX_ON,
  GLUI_STDBITMAP_CHECKBOX_OFF_DIS,
  GLUI_STDBITMAP_CHECKBOX_ON_DIS,
  GLUI_STDBITMAP_RADIOBUTTON_OFF,
  GLUI_STDBITMAP_RADIOBUTTON_ON,
  GLUI_STDBITMAP_RADIOBUTTON_OFF_DIS,
  GLUI_STDBITMAP_RADIOBUTTON_ON_DIS,
  GLUI_STDBITMAP_UP_ARROW,
  GLUI_STDBITMAP_DOWN_ARROW,
  GLUI_STDBITMAP_LEFT_ARROW,
  GLUI_STDBITMAP_RIGHT_ARROW,
  GLUI_STDBITMAP_NUM_ITEMS
};

// ===========================================================================
// The control base
// ===========================================================================
class GLUI_Control {
 public:
  GLUI_Control();
  virtual ~GLUI_Control();

  // Size and placement, in pixels of the panel window (origin top-left, y
  // downwards). x_abs, y_abs are set by packing.
  int w, h;
  int x_abs, y_abs;
  int x_off, y_off_top, y_off_bot;

  int enabled;       // disabled controls are drawn greyed and get no presses
  int active;        // the control that has the keyboard and the mouse
  int can_activate;  // controls that never take activation (text, panels) say 0
  int hidden;

  int user_id;  // passed to the callback; -1 when none was given
  int type;     // GLUI_CONTROL_*

  void* ptr_val;  // the live variable, or null
  int live_type;  // GLUI_LIVE_*
  int int_val;
  float float_val;

  std::string name;
  GLUI* glui;  // owning window; null until the control is added
  GLUI_Update_CB callback;

  GLUI_Control* parent;
  std::vector<GLUI_Control*> children;

  // Event handlers, with window coordinates. They return nonzero when they
  // handled the event.
  virtual int mouse_down_handler(int x, int y);
  virtual int mouse_up_handler(int x, int y, int inside);
  virtual int mouse_held_down_handler(int x, int y, int inside);
  virtual int key_handler(unsigned char key, int modifiers);
  virtual int special_handler(int key, int modifiers);
  virtual void update_size();  // recomputes w and h from the label
  virtual void idle();
  virtual int mouse_over(int state, int x, int y);
  virtual void enable();
  virtual void disable();
  virtual void activate(int how);
  virtual void deactivate();
  // Draws the control with its top-left corner at the origin of the current
  // drawing transform (the window translates to x_abs, y_abs first). Reads
  // state only.
  virtual void draw(int x, int y) = 0;
  virtual int needs_idle();

  // Hooks of this layer beyond the base operations above.
  //
  // Reads the live variable when the control is added (no write-back, no
  // redisplay).
  virtual void init_live();
  // sync_live's rule for this control: take the live variable's value when it
  // differs from the last one the control wrote or read; report a change.
  // Controls with a value of their own shape (the slider) replace it.
  virtual bool sync_from_live();
  // Containers stack their children; leaves do not.
  virtual bool is_container() const { return false; }

  // Values.
  virtual void set_int_val(int new_int);
  virtual void set_float_val(float new_float);
  int get_int_val() const { return int_val; }
  float get_float_val() const { return float_val; }

  void set_name(const char* new_name);
  const char* get_name() const { return name.c_str(); }
  void set_w(int new_w);
  void set_h(int new_h);

  // Calls the callback with user_id, the main graphics window current.
  void execute_callback();
  // Writes the value into the live variable; with update_main_gfx, posts a
  // redisplay of the main graphics window.
  void output_live(int update_main_gfx);
  // Asks the window to show this control again.
  void redraw();

  // Whether window point (x, y) lies in the control's box, edges included.
  bool contains(int x, int y) const;

  // Drawing helpers: GLUI's raised and lowered boxes, in local pixels.
  void draw_raised_box(int x, int y, int w, int h) const;
  void draw_lowered_box(int x, int y, int w, int h) const;
  // Label text at a baseline, embossed when the control is disabled.
  void draw_name(int x, int y) const;

 protected:
  int last_live_int;
  float last_live_float;
};

// ===========================================================================
// Built-in controls
// ===========================================================================
class GLUI_Panel : public GLUI_Control {
 public:
  GLUI_Panel(const char* name, int panel_type);
  int panel_type;  // GLUI_PANEL_*
  bool is_top;     // the window's own top-level panel
  bool is_container() const override { return true; }
  void draw(int x, int y) override;
  void update_size() override {}
};

class GLUI_StaticText : public GLUI_Control {
 public:
  explicit GLUI_StaticText(const char* text);
  void set_text(const char* text);
  void update_size() override;
  void draw(int x, int y) override;
};

class GLUI_Separator : public GLUI_Control {
 public:
  GLUI_Separator();
  void update_size() override {}
  void draw(int x, int y) override;
};

class GLUI_Column : public GLUI_Control {
 public:
  explicit GLUI_Column(bool draw_bar);
  int draw_bar;
  void update_size() override {}
  void draw(int x, int y) override;
};

class GLUI_RadioGroup : public GLUI_Control {
 public:
  GLUI_RadioGroup();
  int num_buttons;
  bool is_container() const override { return true; }
  void set_int_val(int new_val) override;
  void set_selected(int new_val) { set_int_val(new_val); }
  void update_size() override {}
  void draw(int x, int y) override;
  // A button of the group was chosen by the user: store, write, call back.
  void choose(int button_id);
};

class GLUI_RadioButton : public GLUI_Control {
 public:
  GLUI_RadioButton(GLUI_RadioGroup* group, const char* name);
  GLUI_RadioGroup* group;
  bool selected() const { return group && group->int_val == user_id; }
  int mouse_down_handler(int x, int y) override;
  int mouse_up_handler(int x, int y, int inside) override;
  int key_handler(unsigned char key, int modifiers) override;
  void update_size() override;
  void draw(int x, int y) override;
};

class GLUI_Checkbox : public GLUI_Control {
 public:
  explicit GLUI_Checkbox(const char* name);
  int mouse_down_handler(int x, int y) override;
  int mouse_up_handler(int x, int y, int inside) override;
  int key_handler(unsigned char key, int modifiers) override;
  void update_size() override;
  void draw(int x, int y) override;
  void toggle();
};

class GLUI_Button : public GLUI_Control {
 public:
  explicit GLUI_Button(const char* name);
  int currently_pressed;
  int mouse_down_handler(int x, int y) override;
  int mouse_up_handler(int x, int y, int inside) override;
  int mouse_held_down_handler(int x, int y, int inside) override;
  int key_handler(unsigned char key, int modifiers) override;
  void update_size() override;
  void draw(int x, int y) override;
};

// ===========================================================================
// A panel window
// ===========================================================================
class GLUI {
 public:
  GLUI(const char* name, long flags, int glut_window_id);
  // Frees every control. Leaves the GLUT window alone: the master deletes a
  // window's GLUI only once the window is closed, or at exit.
  ~GLUI();
  GLUI(const GLUI&) = delete;
  GLUI& operator=(const GLUI&) = delete;

  // Adding controls. Each add_X is add_X_to_panel on the window's top panel.
  GLUI_StaticText* add_statictext(const char* name);
  GLUI_StaticText* add_statictext_to_panel(GLUI_Panel* panel, const char* name);
  GLUI_Separator* add_separator();
  GLUI_Separator* add_separator_to_panel(GLUI_Panel* panel);
  GLUI_Panel* add_panel(const char* name, int type = GLUI_PANEL_EMBOSSED);
  GLUI_Panel* add_panel_to_panel(GLUI_Panel* panel, const char* name,
                                 int type = GLUI_PANEL_EMBOSSED);
  GLUI_RadioGroup* add_radiogroup(int* live_var = nullptr, int id = -1,
                                  GLUI_Update_CB cb = nullptr);
  GLUI_RadioGroup* add_radiogroup_to_panel(GLUI_Panel* panel, int* live_var = nullptr,
                                           int id = -1, GLUI_Update_CB cb = nullptr);
  GLUI_RadioButton* add_radiobutton_to_group(GLUI_RadioGroup* group, const char* name);
  GLUI_Checkbox* add_checkbox(const char* name, int* live_var = nullptr, int id = -1,
                              GLUI_Update_CB cb = nullptr);
  GLUI_Checkbox* add_checkbox_to_panel(GLUI_Panel* panel, const char* name,
                                       int* live_var = nullptr, int id = -1,
                                       GLUI_Update_CB cb = nullptr);
  GLUI_Button* add_button(const char* name, int id = -1, GLUI_Update_CB cb = nullptr);
  GLUI_Button* add_button_to_panel(GLUI_Panel* panel, const char* name, int id = -1,
                                   GLUI_Update_CB cb = nullptr);
  GLUI_Column* add_column(int draw_bar = true);
  GLUI_Column* add_column_to_panel(GLUI_Panel* panel, int draw_bar = true);
  // The horizontal slider; defined with the slider in ui/hslider.cpp.
  GLUI_HSlider* add_hslider_to_panel(GLUI_Panel* panel, int range_mode, int data_type,
                                     void* live_var, int id = -1,
                                     GLUI_Update_CB cb = nullptr);

  void set_main_gfx_window(int window_id) { main_gfx_window_id = window_id; }
  int get_glut_window_id() const { return glut_window_id; }

  // Shows every control's live variable again; calls no callback.
  void sync_live();
  // Closes the window; its controls stay valid (a callback that closed it may
  // still be running inside one) but are no longer shown. The master frees
  // them at exit.
  void close();
  void enable();
  void disable();

  // Events, in window coordinates, as GLUT delivers them to the panel window.
  void mouse(int button, int state, int x, int y);
  void motion(int x, int y);
  void passive_motion(int x, int y);
  void keyboard(unsigned char key, int x, int y);
  void special(int key, int x, int y);
  void reshape(int width, int height);
  // Draws the whole window, width by height pixels (glui_draw.cpp).
  void display(int width, int height);

  // Gives the active control its idle time when it asks for it.
  void idle();
  bool needs_idle() const;

  // For controls.
  void add_control(GLUI_Control* parent, GLUI_Control* control);
  void pack();
  void post_redisplay();         // of this panel window
  void post_update_main_gfx();   // of the main graphics window
  GLUI_Control* find_control(int x, int y) const;
  void activate_control(GLUI_Control* control, int how);
  void deactivate_current_control();
  void activate_next(bool backwards);

  std::string window_name;
  long flags;
  int glut_window_id;
  int main_gfx_window_id;
  GLUI_Panel* main_panel;
  GLUI_Control* active_control;
  GLUI_Control* mouse_over_control;
  int mouse_button_down;
  int closed;
  int packed_w, packed_h;  // the window's size, fitted to its controls
};

// ===========================================================================
// The master: every panel window, and the toolkit's idle handling
// ===========================================================================
class GLUI_Master_Object {
 public:
  GLUI_Master_Object();
  // Frees every window's GLUI and controls, open or closed.
  ~GLUI_Master_Object();

  // Creates a top-level window titled `name`. It is placed at (x, y) when
  // either is >= 0; otherwise where the program last asked GLUT to put a
  // window.
  GLUI* create_glui(const char* name, long flags = 0, int x = -1, int y = -1);

  // Turns on the toolkit's idle handling, with the program's own idle
  // function `f` (or none). GLUT runs the toolkit's idle handler only while
  // some control needs idle time or `f` is set, so an idle program does not
  // spin.
  void set_glutIdleFunc(void (*f)());

  GLUI* find_glui_by_window_id(int window_id) const;

  // One pass of the idle handler.
  void idle();
  // Installs or removes the idle handler to match what the windows need.
  void update_idle();
  bool idle_installed() const { return idle_is_installed; }

  // Takes a closed window out of the open ones; it is freed with the master.
  void forget(GLUI* glui);

  std::vector<GLUI*> guis;    // the open windows
  std::vector<GLUI*> closed;  // closed, kept until the master goes

 private:
  void (*user_idle)();
  bool idle_enabled;
  bool idle_is_installed;
};

extern GLUI_Master_Object GLUI_Master;
