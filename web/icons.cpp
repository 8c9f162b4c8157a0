// The installed page's icons, made at build time from the program's own
// texture: `node noisedemo-icons.js FOLDER` writes FOLDER/icon-512.png (the
// 512 x 512 texture of one seed and setting, as the texture window shows
// it) and FOLDER/icon-192.png (its bottom left 192 x 192 texels, one texel
// per pixel, so nothing is resampled). Built for node, with the file system
// of the machine (NODERAWFS).
#include <cstdio>
#include <string>
#include <vector>

#include "export/byte_sink.h"
#include "export/png_stored.h"
#include "noise/lattice.h"
#include "render/colour_scale.h"
#include "render/texture_fill_fast.h"
#include "render/texture_image.h"

namespace {

class FileSink : public ByteSink {
 public:
  explicit FileSink(FILE* file) : file_(file) {}
  bool Write(const void* data, size_t size) override {
    ok_ = ok_ && std::fwrite(data, 1, size, file_) == size;
    return ok_;
  }

 private:
  FILE* file_;
  bool ok_ = true;
};

bool WriteIcon(const std::string& path, int size) {
  std::vector<uint8_t> rgb;
  rgb.reserve(static_cast<size_t>(size) * size * 3);
  // PngImage rows go bottom row first, as the texture's rows do.
  for (int row = 0; row < size; row++) {
    const uint8_t* start = NoiseTexture[row][0];
    rgb.insert(rgb.end(), start, start + size * 3);
  }
  PngImage image{size, size, rgb.data(), nullptr};
  // Written beside and renamed, so a failed build leaves no half icon.
  const std::string partial = path + ".part";
  FILE* file = std::fopen(partial.c_str(), "wb");
  if (file == nullptr) {
    std::perror(partial.c_str());
    return false;
  }
  FileSink sink(file);
  const bool written = WriteStoredPng(sink, image, {{"Software", "noisedemo"}});
  if (std::fclose(file) != 0 || !written || std::rename(partial.c_str(), path.c_str()) != 0) {
    std::fprintf(stderr, "noisedemo-icons: cannot write %s\n", path.c_str());
    std::remove(partial.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: noisedemo-icons FOLDER\n");
    return 2;
  }
  // Value+gradient noise in eight octaves of turbulence, in the rainbow
  // scale: the program's most colourful texture.
  SeedGenerator(4242);
  FillLattice();
  const NoiseSettings settings = {kValueGradient, kQuintic, kZeroSlopes, 7, 1};
  FillTextureImageFast(NoiseTexture, settings, kRainbow, FillPath::kBaseline, 1);
  const std::string folder = argv[1];
  return WriteIcon(folder + "/icon-512.png", 512) && WriteIcon(folder + "/icon-192.png", 192) ? 0 : 1;
}
