#include "app/platform.h"

#include <cstdio>
#include <cstdlib>

namespace {
Platform* Current = nullptr;
}

Platform& CurrentPlatform() {
  if (Current == nullptr) {
    // A front end that forgot to say who it is: a programming error, caught
    // here rather than as a crash somewhere in a callback.
    fprintf(stderr, "noisedemo: no front end was set\n");
    abort();
  }
  return *Current;
}

void SetPlatform(Platform* platform) { Current = platform; }
