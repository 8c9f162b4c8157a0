// The program on freeglut and X11: the desktop front end.
#pragma once

#include "app/platform.h"

// The front end over freeglut: call after glutInit. Makes itself the current
// platform of app/ and returns it.
Platform& UseDesktopPlatform();
