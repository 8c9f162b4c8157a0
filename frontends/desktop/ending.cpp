#include "frontends/desktop/ending.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <vector>

#include "export/atomic_file.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
// Last: for XESetWireToEvent and xEvent, with its min and max macros, which
// nothing after it may meet.
#include <X11/Xlibint.h>
#undef min
#undef max

namespace {

struct WatchedWindow {
  XID id;
  const char* title;
};
constexpr int kMaxWatched = 4;
WatchedWindow Watched[kMaxWatched];
int WatchedCount = 0;

// Set once freeglut starts destroying one of our windows on our behalf (the
// Quit button, a window manager's close): the DestroyNotify that follows is
// our own doing.
bool ClosingOurselves = false;

const WatchedWindow* FindWatched(XID id) {
  for (int i = 0; i < WatchedCount; i++) {
    if (Watched[i].id == id) return &Watched[i];
  }
  return nullptr;
}

[[noreturn]] void EndNow(int status) {
  RemoveOpenTemporaryFiles();
  fflush(stderr);
  _exit(status);
}

[[noreturn]] void EndForClosedWindow(const WatchedWindow& window) {
  fprintf(stderr, "noisedemo: the window '%s' was closed; exiting\n", window.title);
  EndNow(0);
}

extern "C" void OnEndingSignal(int signal_number) {
  RemoveOpenTemporaryFiles();
  signal(signal_number, SIG_DFL);
  raise(signal_number);  // delivered as soon as this handler returns
}

int OnXError(Display* display, XErrorEvent* error) {
  // Our window gone under us: whatever request noticed it first (a buffer
  // swap, a make-current, a geometry query of the GL driver), the user closed
  // it from outside.
  if (const WatchedWindow* window = FindWatched(error->resourceid)) {
    if (!ClosingOurselves) EndForClosedWindow(*window);
    return 0;
  }
  char text[256];
  XGetErrorText(display, error->error_code, text, sizeof text);
  fprintf(stderr, "noisedemo: X error: %s (request %d.%d, resource 0x%lx)\n", text,
          error->request_code, error->minor_code, error->resourceid);
  EndNow(1);
}

int OnXIOError(Display*) {
  fprintf(stderr, "noisedemo: lost the connection to the X display\n");
  EndNow(1);
}

// freeglut ignores DestroyNotify, so a window destroyed by another client
// would otherwise go unnoticed until a request on it fails, if one ever does.
// The event is caught where Xlib turns it from wire format into an XEvent.
Bool (*PreviousDestroyConversion)(Display*, XEvent*, xEvent*) = nullptr;

Bool OnDestroyConversion(Display* display, XEvent* event, xEvent* wire) {
  const Bool result = PreviousDestroyConversion(display, event, wire);
  if (event->type == DestroyNotify && !ClosingOurselves) {
    if (const WatchedWindow* window = FindWatched(event->xdestroywindow.window)) {
      EndForClosedWindow(*window);
    }
  }
  return result;
}

// freeglut calls a window's close callback before it destroys the window
// itself, on glutDestroyWindow and on a window manager's close.
void OnOurClose() { ClosingOurselves = true; }

}  // namespace

void InstallSignalHandlers() {
  signal(SIGPIPE, SIG_IGN);
  // A file grown past the size limit (ulimit -f) fails its write with EFBIG,
  // which the export reports and cleans up after like any failed write,
  // instead of the process dying with its temporary file left behind.
  signal(SIGXFSZ, SIG_IGN);
  // Every other signal whose default is to end the process removes the
  // temporary file first. SIGKILL and SIGSTOP cannot be caught, and the
  // stale file a SIGKILL leaves is removed by the next export into that
  // folder.
  std::vector<int> ending = {SIGHUP,  SIGINT,    SIGQUIT, SIGILL,  SIGTRAP, SIGABRT,
                             SIGBUS,  SIGFPE,    SIGUSR1, SIGSEGV, SIGUSR2, SIGALRM,
                             SIGTERM, SIGXCPU,   SIGVTALRM, SIGPROF, SIGSYS};
#ifdef SIGSTKFLT
  ending.push_back(SIGSTKFLT);
#endif
#ifdef SIGPOLL
  ending.push_back(SIGPOLL);
#endif
#ifdef SIGPWR
  ending.push_back(SIGPWR);
#endif
  for (int rt = SIGRTMIN; rt <= SIGRTMAX; rt++) ending.push_back(rt);
  for (int signal_number : ending) {
    struct sigaction action = {};
    struct sigaction previous = {};
    if (sigaction(signal_number, nullptr, &previous) != 0) continue;
    // Only a signal left at its default: one ignored at start stays ignored,
    // as nohup asked, and a handler already there (a sanitizer's, for the
    // faults) keeps its own report.
    if ((previous.sa_flags & SA_SIGINFO) != 0 || previous.sa_handler != SIG_DFL) continue;
    action.sa_handler = OnEndingSignal;
    sigemptyset(&action.sa_mask);
    sigaction(signal_number, &action, nullptr);
  }
}

void InstallXErrorHandlers() {
  XSetErrorHandler(OnXError);
  XSetIOErrorHandler(OnXIOError);
}

void WatchCurrentWindow(const char* title) {
  Display* display = glXGetCurrentDisplay();
  const GLXDrawable drawable = glXGetCurrentDrawable();
  if (display == nullptr || drawable == 0 || WatchedCount == kMaxWatched) return;
  Watched[WatchedCount++] = {drawable, title};
  glutCloseFunc(OnOurClose);
  if (PreviousDestroyConversion == nullptr) {
    PreviousDestroyConversion = XESetWireToEvent(display, DestroyNotify, OnDestroyConversion);
  }
}
