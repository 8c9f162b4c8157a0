#include "export/stl_binary.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "export/stl_writer.h"

namespace {

constexpr size_t kFacetBytes = 50;
constexpr size_t kBufferFacets = 1024;

void PutFloat(uint8_t* out, float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  for (int k = 0; k < 4; k++) out[k] = static_cast<uint8_t>(bits >> (8 * k));
}

// The unit normal of the facet, pointing out of the solid (the vertices run
// counter-clockwise seen from outside); zero for a facet with no area.
// Readers that recompute normals get the same; those that shade with the
// stored one get it right.
void Normal(const StlVertex v[3], float n[3]) {
  const float ax = v[1].x - v[0].x, ay = v[1].y - v[0].y, az = v[1].z - v[0].z;
  const float bx = v[2].x - v[0].x, by = v[2].y - v[0].y, bz = v[2].z - v[0].z;
  n[0] = ay * bz - az * by;
  n[1] = az * bx - ax * bz;
  n[2] = ax * by - ay * bx;
  const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  for (int k = 0; k < 3; k++) n[k] = length > 0.0f ? n[k] / length : 0.0f;
}

class BinarySolid : public StlFacetVisitor {
 public:
  explicit BinarySolid(ByteSink& sink) : sink_(sink), buffer_(kBufferFacets * kFacetBytes) {}

  bool TopFacet(const StlVertex v[3], const float colour[3]) override {
    return Facet(v, StlFacetColour(colour));
  }
  bool TopDone() override { return true; }
  bool PlainFacet(const StlVertex v[3]) override { return Facet(v, kStlWallColour); }
  bool Counted(int facets, bool) override {
    facets_ = facets;
    return ok_;
  }

  bool Flush() {
    if (ok_ && used_ > 0) ok_ = sink_.Write(buffer_.data(), used_);
    used_ = 0;
    return ok_;
  }
  int facets() const { return facets_; }

 private:
  bool Facet(const StlVertex v[3], uint16_t attribute) {
    uint8_t* out = buffer_.data() + used_;
    float n[3];
    Normal(v, n);
    for (int k = 0; k < 3; k++) PutFloat(out + 4 * k, n[k]);
    for (int k = 0; k < 3; k++) {
      PutFloat(out + 12 + 12 * k, v[k].x);
      PutFloat(out + 16 + 12 * k, v[k].y);
      PutFloat(out + 20 + 12 * k, v[k].z);
    }
    out[48] = static_cast<uint8_t>(attribute & 0xFF);
    out[49] = static_cast<uint8_t>(attribute >> 8);
    used_ += kFacetBytes;
    return used_ < buffer_.size() || Flush();
  }

  ByteSink& sink_;
  std::vector<uint8_t> buffer_;
  size_t used_ = 0;
  bool ok_ = true;
  int facets_ = 0;
};

}  // namespace

uint16_t StlFacetColour(const float colour[3]) {
  uint16_t word = 0;
  for (int channel = 0; channel < 3; channel++) {
    float c = colour[channel];
    if (!(c > 0.0f)) c = 0.0f;
    if (c > 1.0f) c = 1.0f;
    const unsigned level = static_cast<unsigned>(c * 31.0f + 0.5f);
    word = static_cast<uint16_t>(word | (level << (5 * channel)));
  }
  return word;  // bit 15 clear: the facet's own colour
}

bool WriteStlBinary(ByteSink& file, const StlGrid& grid, const StlColours rgb, int* facets) {
  uint8_t header[84] = {};
  uint8_t* at = header;
  auto put = [&at](const void* bytes, size_t size) {
    std::memcpy(at, bytes, size);
    at += size;
  };
  put("COLOR=", 6);
  put(kStlDefaultColour, 4);
  put(",MATERIAL=", 10);
  put(kStlMaterial, 12);
  const char about[] = " noisedemo height field, 4 x 4 units";
  put(about, sizeof about - 1);
  const uint32_t count = kStlFacetCount;
  for (int k = 0; k < 4; k++) header[80 + k] = static_cast<uint8_t>(count >> (8 * k));
  if (!file.Write(header, sizeof header)) return false;

  BinarySolid solid(file);
  const bool ok = VisitStlSolid(grid, rgb, solid) && solid.Flush();
  *facets = solid.facets();
  return ok;
}

bool SaveStlBinary(const std::string& fileName, const StlGrid& grid, const StlColours rgb,
                   FILE* messages) {
  return SaveStlFile(fileName, messages, [&](ByteSink& sink, int* facets) {
    return WriteStlBinary(sink, grid, rgb, facets);
  });
}
