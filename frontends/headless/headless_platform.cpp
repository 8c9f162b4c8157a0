#include "frontends/headless/headless_platform.h"

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "app/windows.h"
#include "render/texture_image.h"

int HeadlessPlatform::OpenWindow(AppWindow which, const char*, int, int, int width, int height) {
  windows_.push_back({which, width, height, false});
  current_ = static_cast<int>(windows_.size());
  return current_;
}

HeadlessPlatform::Window* HeadlessPlatform::Find(int id) {
  if (id < 1 || id > static_cast<int>(windows_.size())) return nullptr;
  return &windows_[static_cast<size_t>(id - 1)];
}

void HeadlessPlatform::PostRedisplay() {
  if (Window* w = Find(current_)) w->redisplay = true;
}

int HeadlessPlatform::WindowWidth() {
  const Window* w = Find(current_);
  return w ? w->width : 0;
}

int HeadlessPlatform::WindowHeight() {
  const Window* w = Find(current_);
  return w ? w->height : 0;
}

// The clock the batch exports have always taken a seed from.
uint32_t HeadlessPlatform::ElapsedMs() {
  return static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch() /
                               std::chrono::milliseconds(1));
}

bool HeadlessPlatform::ReadShownWindow(int width, int height, uint8_t* rgb) {
  const Window* w = Find(current_);
  if (w == nullptr || w->which != AppWindow::kTexture || width != kTextureSize ||
      height != kTextureSize || w->width != width || w->height != height)
    return false;
  std::memcpy(rgb, &NoiseTexture[0][0][0], sizeof NoiseTexture);
  return true;
}

void HeadlessPlatform::EndProgram(int) { exit(0); }

void HeadlessPlatform::Resize(int id, int width, int height) {
  Window* w = Find(id);
  if (w == nullptr) return;
  w->width = width;
  w->height = height;
  if (w->which == AppWindow::kGraph) {
    current_ = id;
    ReSize(width, height);
  }
}

int HeadlessPlatform::RunRedisplays() {
  int ran = 0;
  for (size_t k = 0; k < windows_.size(); k++) {
    if (!windows_[k].redisplay) continue;
    windows_[k].redisplay = false;
    current_ = static_cast<int>(k) + 1;
    if (windows_[k].which == AppWindow::kGraph) {
      Display();
    } else {
      TextureDisplay();
    }
    ran++;
  }
  return ran;
}
