// The program on freeglut and X11: the desktop front end.
#pragma once

#include <optional>

#include "app/glut_options.h"
#include "app/platform.h"

// The front end over freeglut: call after glutInit. Makes itself the current
// platform of app/ and returns it. The graph window opens where
// `graphGeometry` (-geometry) puts it, if given.
Platform& UseDesktopPlatform(const std::optional<WindowGeometry>& graphGeometry = std::nullopt);
