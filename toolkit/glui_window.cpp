// A panel window: adding controls, packing them, routing events to them,
// live-variable synchronisation and closing.
#include <algorithm>

#include "toolkit/glui.h"
#include "toolkit/glui_layout.h"
#include "toolkit/glui_platform.h"

using namespace glui_layout;

GLUI::GLUI(const char* name, long window_flags, int window_id)
    : window_name(name ? name : ""),
      flags(window_flags),
      glut_window_id(window_id),
      main_gfx_window_id(-1),
      main_panel(new GLUI_Panel("", GLUI_PANEL_NONE)),
      active_control(nullptr),
      mouse_over_control(nullptr),
      mouse_button_down(0),
      closed(0),
      packed_w(0),
      packed_h(0) {
  main_panel->is_top = true;
  main_panel->glui = this;
}

GLUI::~GLUI() { delete main_panel; }

// ===========================================================================
// Adding controls
// ===========================================================================
void GLUI::add_control(GLUI_Control* parent, GLUI_Control* control) {
  if (parent == nullptr) parent = main_panel;
  control->parent = parent;
  parent->children.push_back(control);
  control->glui = this;
  control->update_size();
  control->enabled = parent->enabled;
  pack();
  control->init_live();
}

GLUI_StaticText* GLUI::add_statictext(const char* name) {
  return add_statictext_to_panel(main_panel, name);
}

GLUI_StaticText* GLUI::add_statictext_to_panel(GLUI_Panel* panel, const char* name) {
  auto* text = new GLUI_StaticText(name);
  add_control(panel, text);
  return text;
}

GLUI_Separator* GLUI::add_separator() { return add_separator_to_panel(main_panel); }

GLUI_Separator* GLUI::add_separator_to_panel(GLUI_Panel* panel) {
  auto* separator = new GLUI_Separator();
  add_control(panel, separator);
  return separator;
}

GLUI_Panel* GLUI::add_panel(const char* name, int type) {
  return add_panel_to_panel(main_panel, name, type);
}

GLUI_Panel* GLUI::add_panel_to_panel(GLUI_Panel* panel, const char* name, int type) {
  auto* child = new GLUI_Panel(name, type);
  add_control(panel, child);
  return child;
}

GLUI_RadioGroup* GLUI::add_radiogroup(int* live_var, int id, GLUI_Update_CB cb) {
  return add_radiogroup_to_panel(main_panel, live_var, id, cb);
}

namespace {
// A radio group or check box writes an int live variable (none if null) and
// calls back with its id.
void BindIntLive(GLUI_Control* control, int* live_var, int id, GLUI_Update_CB cb) {
  control->ptr_val = live_var;
  control->live_type = live_var ? GLUI_LIVE_INT : GLUI_LIVE_NONE;
  control->user_id = id;
  control->callback = cb;
}
}  // namespace

GLUI_RadioGroup* GLUI::add_radiogroup_to_panel(GLUI_Panel* panel, int* live_var, int id,
                                               GLUI_Update_CB cb) {
  auto* group = new GLUI_RadioGroup();
  BindIntLive(group, live_var, id, cb);
  add_control(panel, group);
  return group;
}

GLUI_RadioButton* GLUI::add_radiobutton_to_group(GLUI_RadioGroup* group, const char* name) {
  auto* button = new GLUI_RadioButton(group, name);
  add_control(group, button);
  return button;
}

GLUI_Checkbox* GLUI::add_checkbox(const char* name, int* live_var, int id, GLUI_Update_CB cb) {
  return add_checkbox_to_panel(main_panel, name, live_var, id, cb);
}

GLUI_Checkbox* GLUI::add_checkbox_to_panel(GLUI_Panel* panel, const char* name, int* live_var,
                                           int id, GLUI_Update_CB cb) {
  auto* box = new GLUI_Checkbox(name);
  BindIntLive(box, live_var, id, cb);
  add_control(panel, box);
  return box;
}

GLUI_Button* GLUI::add_button(const char* name, int id, GLUI_Update_CB cb) {
  return add_button_to_panel(main_panel, name, id, cb);
}

GLUI_Button* GLUI::add_button_to_panel(GLUI_Panel* panel, const char* name, int id,
                                       GLUI_Update_CB cb) {
  auto* button = new GLUI_Button(name);
  button->user_id = id;
  button->callback = cb;
  add_control(panel, button);
  return button;
}

GLUI_Column* GLUI::add_column(int draw_bar) { return add_column_to_panel(main_panel, draw_bar); }

GLUI_Column* GLUI::add_column_to_panel(GLUI_Panel* panel, int draw_bar) {
  auto* column = new GLUI_Column(draw_bar != 0);
  add_control(panel, column);
  return column;
}

// ===========================================================================
// Packing: children stack downwards in their container; a column control
// starts a new stack to the right. The window is sized to fit.
// ===========================================================================
namespace {

struct Insets {
  int left, right, top, bottom;
};

bool IsPanel(const GLUI_Control* c) { return c->type == GLUI_CONTROL_PANEL; }
bool IsColumn(const GLUI_Control* c) { return c->type == GLUI_CONTROL_COLUMN; }
bool IsSeparator(const GLUI_Control* c) { return c->type == GLUI_CONTROL_SEPARATOR; }
// Buttons and panels sit in the middle of their column; the rest on its left.
bool IsCentred(const GLUI_Control* c) { return c->type == GLUI_CONTROL_BUTTON || IsPanel(c); }

bool HasFrame(const GLUI_Control* c) {
  return IsPanel(c) && !static_cast<const GLUI_Panel*>(c)->is_top &&
         static_cast<const GLUI_Panel*>(c)->panel_type != GLUI_PANEL_NONE;
}

Insets InsetsOf(const GLUI_Control* c) {
  if (IsPanel(c) && static_cast<const GLUI_Panel*>(c)->is_top) {
    return {kOuterOffset, kOuterOffset, kOuterOffset, kOuterOffset};
  }
  if (HasFrame(c)) {
    const int top = c->name.empty() ? kPanelFrameTop : kPanelTitleTop;
    return {kPanelSide, kPanelSide, top, kPanelBottom};
  }
  return {0, 0, 0, 0};  // frameless panels and radio groups
}

using Stack = std::vector<GLUI_Control*>;

// The container's children split at its column controls.
std::vector<Stack> Stacks(const GLUI_Control* c, std::vector<GLUI_Column*>* columns) {
  std::vector<Stack> stacks(1);
  for (GLUI_Control* child : c->children) {
    if (child->hidden) continue;
    if (IsColumn(child)) {
      if (columns) columns->push_back(static_cast<GLUI_Column*>(child));
      stacks.emplace_back();
    } else {
      stacks.back().push_back(child);
    }
  }
  return stacks;
}

int StackWidth(const Stack& stack) {
  int width = 0;
  for (const GLUI_Control* c : stack) {
    if (!IsSeparator(c)) width = std::max(width, c->w);  // separators span what is there
  }
  return width;
}

int StackHeight(const Stack& stack) {
  int height = 0;
  for (size_t i = 0; i < stack.size(); ++i) {
    if (i > 0) height += kItemSpacing;
    height += stack[i]->h + (IsPanel(stack[i]) ? 2 * kPanelExtra : 0);
  }
  return height;
}

void Measure(GLUI_Control* c) {
  if (!c->is_container()) return;
  for (GLUI_Control* child : c->children) Measure(child);
  const std::vector<Stack> stacks = Stacks(c, nullptr);
  int content_w = 0;
  int content_h = 0;
  for (size_t i = 0; i < stacks.size(); ++i) {
    if (i > 0) content_w += kColumnGap;
    content_w += StackWidth(stacks[i]);
    content_h = std::max(content_h, StackHeight(stacks[i]));
  }
  const Insets in = InsetsOf(c);
  c->w = in.left + content_w + in.right;
  c->h = in.top + content_h + in.bottom;
  if (HasFrame(c) && !c->name.empty()) {
    const int title_w = GLUI_TextWidth(c->name.c_str()) + 2 * kPanelTitleX;
    c->w = std::max(c->w, title_w);
  }
}

void Place(GLUI_Control* c, int x, int y) {
  c->x_abs = x;
  c->y_abs = y;
  if (!c->is_container()) return;
  const Insets in = InsetsOf(c);
  std::vector<GLUI_Column*> columns;
  const std::vector<Stack> stacks = Stacks(c, &columns);

  std::vector<int> widths;
  int content_w = 0;
  for (size_t i = 0; i < stacks.size(); ++i) {
    widths.push_back(StackWidth(stacks[i]));
    content_w += widths.back() + (i > 0 ? kColumnGap : 0);
  }
  // A container wider than its stacks (a long title) gives the room to the
  // last stack, so centred controls sit in the middle of the frame.
  widths.back() += (c->w - in.left - in.right) - content_w;
  const int content_h = c->h - in.top - in.bottom;

  int column_x = x + in.left;
  for (size_t i = 0; i < stacks.size(); ++i) {
    int row_y = y + in.top;
    for (GLUI_Control* child : stacks[i]) {
      if (IsPanel(child)) row_y += kPanelExtra;
      if (IsSeparator(child)) child->w = widths[i];
      const int child_x = IsCentred(child) ? column_x + (widths[i] - child->w) / 2 : column_x;
      Place(child, child_x, row_y);
      row_y += child->h + (IsPanel(child) ? kPanelExtra : 0) + kItemSpacing;
    }
    column_x += widths[i];
    if (i < columns.size()) {
      GLUI_Column* column = columns[i];
      column->x_abs = column_x;
      column->y_abs = y + in.top;
      column->w = kColumnGap;
      column->h = content_h;
      column_x += kColumnGap;
    }
  }
}

}  // namespace

void GLUI::pack() {
  Measure(main_panel);
  Place(main_panel, 0, 0);
  if (main_panel->w != packed_w || main_panel->h != packed_h) {
    packed_w = main_panel->w;
    packed_h = main_panel->h;
    if (!closed) GLUI_GetPlatform().reshape_window(glut_window_id, packed_w, packed_h);
  }
  post_redisplay();
}

// The user cannot resize the window: it goes back to the size of its controls.
void GLUI::reshape(int width, int height) {
  if (width != packed_w || height != packed_h) {
    GLUI_GetPlatform().reshape_window(glut_window_id, packed_w, packed_h);
  }
  post_redisplay();
}

// ===========================================================================
// Finding and activating controls
// ===========================================================================
namespace {
GLUI_Control* Deepest(GLUI_Control* c, int x, int y) {
  if (c->hidden || !c->contains(x, y)) return nullptr;
  for (GLUI_Control* child : c->children) {
    if (GLUI_Control* found = Deepest(child, x, y)) return found;
  }
  return c;
}

void Flatten(GLUI_Control* c, std::vector<GLUI_Control*>* out) {
  out->push_back(c);
  for (GLUI_Control* child : c->children) Flatten(child, out);
}
}  // namespace

GLUI_Control* GLUI::find_control(int x, int y) const { return Deepest(main_panel, x, y); }

void GLUI::activate_control(GLUI_Control* control, int how) {
  if (active_control && active_control != control) deactivate_current_control();
  active_control = control;
  control->activate(how);
}

void GLUI::deactivate_current_control() {
  if (active_control == nullptr) return;
  GLUI_Control* control = active_control;
  active_control = nullptr;
  mouse_button_down = 0;
  control->deactivate();
}

void GLUI::activate_next(bool backwards) {
  std::vector<GLUI_Control*> all;
  Flatten(main_panel, &all);
  std::vector<GLUI_Control*> candidates;
  for (GLUI_Control* c : all) {
    if (c->can_activate && c->enabled && !c->hidden) candidates.push_back(c);
  }
  if (candidates.empty()) return;
  const auto here = std::find(candidates.begin(), candidates.end(), active_control);
  const int n = static_cast<int>(candidates.size());
  int next;
  if (here == candidates.end()) {
    next = backwards ? n - 1 : 0;
  } else {
    const int i = static_cast<int>(here - candidates.begin());
    next = backwards ? (i + n - 1) % n : (i + 1) % n;
  }
  activate_control(candidates[next], GLUI_ACTIVATE_TAB);
}

// ===========================================================================
// Events
// ===========================================================================
void GLUI::mouse(int button, int state, int x, int y) {
  if (button != GLUI_GLUT_LEFT_BUTTON) return;  // only the left button is ours
  if (state == GLUI_GLUT_DOWN) {
    GLUI_Control* control = find_control(x, y);
    if (active_control && active_control != control) deactivate_current_control();
    if (control && control->enabled && control->can_activate) {
      if (active_control != control) activate_control(control, GLUI_ACTIVATE_MOUSE);
      mouse_button_down = 1;
      control->mouse_down_handler(x, y);
    }
  } else {
    GLUI_Control* control = mouse_button_down ? active_control : nullptr;
    // The press is over before the handler runs: a callback's sync_live must
    // see this control as free.
    mouse_button_down = 0;
    if (control) control->mouse_up_handler(x, y, find_control(x, y) == control);
  }
  GLUI_Master.update_idle();
}

void GLUI::motion(int x, int y) {
  if (mouse_button_down && active_control) {
    GLUI_Control* control = active_control;
    control->mouse_held_down_handler(x, y, find_control(x, y) == control);
  }
  GLUI_Master.update_idle();
}

void GLUI::passive_motion(int x, int y) {
  GLUI_Control* control = find_control(x, y);
  if (control != mouse_over_control) {
    if (mouse_over_control) mouse_over_control->mouse_over(0, x, y);
    mouse_over_control = control;
    if (control == nullptr || !control->mouse_over(1, x, y)) {
      GLUI_GetPlatform().set_cursor(GLUI_GLUT_CURSOR_LEFT_ARROW);
    }
  } else if (control) {
    control->mouse_over(1, x, y);
  }
}

void GLUI::keyboard(unsigned char key, int, int) {
  const int modifiers = GLUI_GetPlatform().modifiers();
  if (key == '\t') {
    activate_next((modifiers & GLUI_GLUT_ACTIVE_SHIFT) != 0);
  } else if (active_control && active_control->enabled) {
    active_control->key_handler(key, modifiers);
  }
  GLUI_Master.update_idle();
}

void GLUI::special(int key, int, int) {
  if (active_control && active_control->enabled) {
    active_control->special_handler(key, GLUI_GetPlatform().modifiers());
  }
  GLUI_Master.update_idle();
}

// ===========================================================================
// Idle, live variables, enabled state, closing
// ===========================================================================
bool GLUI::needs_idle() const {
  return !closed && active_control && active_control->needs_idle();
}

void GLUI::idle() {
  if (!needs_idle()) return;
  GLUI_Platform& platform = GLUI_GetPlatform();
  const int previous = platform.get_window();
  platform.set_window(glut_window_id);
  active_control->idle();
  if (previous > 0 && previous != glut_window_id) platform.set_window(previous);
}

void GLUI::sync_live() {
  std::vector<GLUI_Control*> all;
  Flatten(main_panel, &all);
  for (GLUI_Control* c : all) {
    if (mouse_button_down && c == active_control) continue;  // the user has it in hand
    if (c->sync_from_live()) c->redraw();
  }
}

void GLUI::enable() { main_panel->enable(); }
void GLUI::disable() { main_panel->disable(); }

void GLUI::post_redisplay() {
  if (!closed) GLUI_GetPlatform().post_redisplay(glut_window_id);
}

void GLUI::post_update_main_gfx() {
  if (main_gfx_window_id > 0) GLUI_GetPlatform().post_redisplay(main_gfx_window_id);
}

// The controls stay allocated: a callback that closed the window may still be
// running inside one of them.
void GLUI::close() {
  if (closed) return;
  closed = 1;
  active_control = nullptr;
  mouse_button_down = 0;
  GLUI_GetPlatform().destroy_window(glut_window_id);
  GLUI_Master.forget(this);
  GLUI_Master.update_idle();
}
