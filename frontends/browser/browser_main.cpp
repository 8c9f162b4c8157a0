// The browser front end's start and its doors to the page (web/page.js).
//
// The page reads its address, loads this module and calls NdStart with the
// address's settings in the command line's words; from then on it passes
// every key, press, motion and resize of its canvases to the Nd* calls
// below, and on every animation frame runs NdFrame and copies the windows
// that changed onto their canvases. Exports are written by the program's
// own code into the module's in-memory folder, which the page empties into
// downloads after each key. Everything runs on the page's thread; only the
// texture fill may spread over web workers.
#include <emscripten/emscripten.h>
#include <sys/stat.h>
#include <unistd.h>

#include <iterator>
#include <string>

#include "app/app_state.h"
#include "app/choices.h"
#include "app/command_line.h"
#include "app/export_formats.h"
#include "app/exports.h"
#include "app/option_table.h"
#include "app/platform.h"
#include "app/png_texts.h"
#include "app/start.h"
#include "app/windows.h"
#include "frontends/browser/page_windows.h"
#include "render/bitmap_text.h"
#include "render/graph_display.h"
#include "toolkit/glui.h"
#include "ui/hslider.h"
#include "toolkit/glui_platform.h"

// The page's side of the windows (web/page.js: noisedemoPage).
EM_JS(void, JsOpenCanvas,
      (int id, const char* title, int x, int y, int width, int height, int resizable), {
  noisedemoPage.openCanvas(id, UTF8ToString(title), x, y, width, height, resizable != 0);
});
EM_JS(void, JsResizeCanvas, (int id, int width, int height), {
  noisedemoPage.resizeCanvas(id, width, height);
});
EM_JS(void, JsSetCursor, (int id, int cursor), { noisedemoPage.setCursor(id, cursor); });
EM_JS(void, JsEnd, (), { noisedemoPage.end(); });
// A page without the question ends at once.
EM_JS(int, JsMayEnd, (), { return !noisedemoPage.mayEnd || noisedemoPage.mayEnd() ? 1 : 0; });

namespace {

class BrowserPage : public Page {
 public:
  void OpenCanvas(int id, const char* title, int x, int y, int width, int height,
                  bool resizable) override {
    JsOpenCanvas(id, title, x, y, width, height, resizable ? 1 : 0);
  }
  void ResizeCanvas(int id, int width, int height) override { JsResizeCanvas(id, width, height); }
  void SetCursor(int id, int cursor) override { JsSetCursor(id, cursor); }
  [[noreturn]] void End() override {
    JsEnd();
    // Unwinds out of the event that quit; the module takes no more calls.
    emscripten_force_exit(0);
    __builtin_unreachable();
  }
  double NowMs() override { return emscripten_get_now(); }
  bool MayEnd() override { return JsMayEnd() != 0; }
};

BrowserPage ThePage;
PageWindows* Windows = nullptr;
std::string Reply;  // the last string handed to the page

// The folder exports are written to: the page downloads and removes every
// file that appears in it.
constexpr const char* kDownloads = "/downloads";

}  // namespace

extern "C" {

// Takes the options (one "--name=value" per line, from the page's address)
// and opens the windows. Returns "" when they were taken, otherwise the
// reason they were refused, and then nothing is opened or drawn: no window
// ever shows settings that were only half read.
EMSCRIPTEN_KEEPALIVE const char* NdStart(const char* optionLines) {
  if (Windows != nullptr) {
    Reply = "the program has already started";
    return Reply.c_str();
  }
  StartOptions options;
  std::string error;
  switch (ParseOptionLines(optionLines, &options, &error)) {
    case StartMode::kBadOption:
      Reply = error;
      return Reply.c_str();
    case StartMode::kHelp:
    case StartMode::kVersion:
      Reply = "the page takes settings only; its address uses the command line's words";
      return Reply.c_str();
    case StartMode::kBatch:
      Reply = "the page writes files as downloads: press b, p, h, s or m in its windows";
      return Reply.c_str();
    case StartMode::kWindows:
      break;
  }
  mkdir(kDownloads, 0777);
  if (chdir(kDownloads) != 0) {
    Reply = "the page's download folder cannot be made";
    return Reply.c_str();
  }
  Windows = new PageWindows(ThePage);
  SetPlatform(Windows);
  GLUI_SetPlatform(Windows);
  SetText(&BitmapText());
  OpenWindows(options);
  Reply.clear();
  return Reply.c_str();
}

EMSCRIPTEN_KEEPALIVE void NdKey(int id, int key, int x, int y, int modifiers) {
  if (Windows) Windows->Key(id, static_cast<unsigned char>(key), x, y, modifiers);
}
EMSCRIPTEN_KEEPALIVE void NdSpecial(int id, int key, int x, int y, int modifiers) {
  if (Windows) Windows->Special(id, key, x, y, modifiers);
}
EMSCRIPTEN_KEEPALIVE void NdMouse(int id, int button, int down, int x, int y, int modifiers) {
  if (Windows) Windows->Mouse(id, button, down != 0, x, y, modifiers);
}
EMSCRIPTEN_KEEPALIVE void NdMotion(int id, int x, int y, int dragging) {
  if (Windows) Windows->Motion(id, x, y, dragging != 0);
}
EMSCRIPTEN_KEEPALIVE void NdResize(int id, int width, int height) {
  if (Windows) Windows->Resize(id, width, height);
}

// One pass of the main loop; 1 if anything was drawn.
EMSCRIPTEN_KEEPALIVE int NdFrame() { return Windows && Windows->RunFrame() ? 1 : 0; }
// 1 while another pass would do something.
EMSCRIPTEN_KEEPALIVE int NdBusy() { return Windows && Windows->Busy() ? 1 : 0; }

// 1 if window `id` shows something new since it was last asked.
EMSCRIPTEN_KEEPALIVE int NdTakeChanged(int id) { return Windows && Windows->TakeChanged(id); }
// What window `id` shows, RGBA top row first, and its size.
EMSCRIPTEN_KEEPALIVE const uint8_t* NdPixels(int id) {
  int width = 0, height = 0;
  return Windows ? Windows->ShownPixels(id, &width, &height) : nullptr;
}
EMSCRIPTEN_KEEPALIVE int NdWidth(int id) {
  int width = 0, height = 0;
  if (Windows) Windows->ShownPixels(id, &width, &height);
  return width;
}
EMSCRIPTEN_KEEPALIVE int NdHeight(int id) {
  int width = 0, height = 0;
  if (Windows) Windows->ShownPixels(id, &width, &height);
  return height;
}

// Makes one export again from the program as it is now, into the download
// folder, as the key that made it would: 0 the BMP image, 1 the PNG image,
// 2 the heightmap, 3 the ASCII STL, 4 the binary STL. The page's "save
// again" link calls it instead of holding the file's bytes.
EMSCRIPTEN_KEEPALIVE void NdRemake(int kind) {
  if (!Windows || kind < 0 || kind >= static_cast<int>(std::size(kExportFormats))) return;
  WriteExportFile(kExportFormats[kind].id);
}

// The command line's option words without their dashes, space-separated
// ("seed noise ... bmp png ..."): the page refuses a bad value for one of
// them as the command line does, and leaves any other word in its address
// (a learning platform's or a campaign's) alone.
EMSCRIPTEN_KEEPALIVE const char* NdOptionWords() {
  Reply.clear();
  auto add = [](const char* option) {
    if (!Reply.empty()) Reply += ' ';
    Reply += option + 2;
  };
  for (size_t k = 0; k < kOptionCount; k++) add(kOptions[k].name);
  for (const ExportFormatInfo& format : kExportFormats) add(format.option);
  return Reply.c_str();
}

// The export keys in the order of NdRemake's kinds ("bphsm"): the page's
// buttons press the same keys.
EMSCRIPTEN_KEEPALIVE const char* NdExportKeys() {
  Reply.clear();
  for (const ExportFormatInfo& format : kExportFormats) Reply += format.key;
  return Reply.c_str();
}

// The teaching views' keys, in the Views panel's order, for the hint line.
EMSCRIPTEN_KEEPALIVE const char* NdViewKeys() {
  Reply.clear();
  for (const ViewSwitch& view : kViewSwitches) Reply += view.key;
  return Reply.c_str();
}

// Where a press at (x, y) in the graph window would pick a control point if
// it lay at most `reach` pixels from there: the nearest place whose pick box
// holds a dot, as x * 65536 + y, or -1 for none. A finger covers what it
// presses, so the page moves a touch there; a mouse press is never moved.
EMSCRIPTEN_KEEPALIVE int NdPickNear(int x, int y, int reach) {
  if (!Windows) return -1;
  int width = 0, height = 0;
  if (!Windows->ShownPixels(App.graphWindow, &width, &height)) return -1;
  const GraphView view = CurrentGraphView();
  int best = -1;
  long bestDistance = static_cast<long>(reach) * reach;
  for (int dy = -reach; dy <= reach; dy++) {
    for (int dx = -reach; dx <= reach; dx++) {
      const long distance = static_cast<long>(dx) * dx + static_cast<long>(dy) * dy;
      const int px = x + dx, py = y + dy;
      if (distance > bestDistance || px < 0 || py < 0 || px >= width || py >= height) continue;
      if (best >= 0 && distance == bestDistance) continue;
      if (PickPoints(view, px, py, width, height).count == 0) continue;
      best = px * 65536 + py;
      bestDistance = distance;
    }
  }
  return best;
}

namespace {

void DescribeControls(const GLUI_Control* control, const std::string& group, std::string* out) {
  const char* kind = nullptr;
  std::string value;
  switch (control->type) {
    case GLUI_CONTROL_RADIOBUTTON:
      kind = "radio";
      value = static_cast<const GLUI_RadioButton*>(control)->selected() ? "1" : "0";
      break;
    case GLUI_CONTROL_CHECKBOX:
      kind = "checkbox";
      value = control->int_val ? "1" : "0";
      break;
    case GLUI_CONTROL_BUTTON:
      kind = "button";
      break;
    default:
      if (const auto* slider = dynamic_cast<const GLUI_HSlider*>(control)) {
        kind = "slider";
        char number[32];
        snprintf(number, sizeof number, "%.3f", static_cast<double>(slider->get_float_val()));
        value = number;
      }
      break;
  }
  if (kind != nullptr) {
    char place[64];
    snprintf(place, sizeof place, "\t%d\t%d\t%d\t%d\t%d\t%d", control->enabled ? 1 : 0,
             control->glui && control->glui->active_control == control ? 1 : 0, control->x_abs,
             control->y_abs, control->w, control->h);
    *out += std::string(kind) + "\t" + (control->name.empty() ? group : control->name) + "\t" +
            group + "\t" + value + place + "\n";
  }
  const std::string inner =
      control->type == GLUI_CONTROL_PANEL && !control->name.empty() ? control->name : group;
  for (const GLUI_Control* child : control->children) DescribeControls(child, inner, out);
}

}  // namespace

// The panel's controls as the page names them for a screen reader and
// rings the focused one: a line each, "kind, name, group, value, enabled,
// focused, x, y, width, height" separated by tabs, in the panel's order.
EMSCRIPTEN_KEEPALIVE const char* NdControls() {
  Reply.clear();
  if (Windows && App.panel && App.panel->main_panel) {
    DescribeControls(App.panel->main_panel, "", &Reply);
  }
  return Reply.c_str();
}

// The command line that makes the picture again, as key i prints it.
EMSCRIPTEN_KEEPALIVE const char* NdCommand() {
  Reply = Windows ? ReproducingCommandNow() : "";
  return Reply.c_str();
}

}  // extern "C"
