#include <sys/stat.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/solid.h"
#include "app/app_state.h"
#include "export/stl_binary.h"
#include "export/stl_writer.h"
#include "export_helpers.h"
#include "noise/hermite.h"
#include "noise_fixture.h"
#include "render/colour_scale.h"

namespace {

// ===========================================================================
// The plain evaluation the exporter must reproduce bit for bit: each step as
// the height field is defined, one HermiteBlend call per blend.
// ===========================================================================
struct Reference {
  float x[kStlGridSize][kStlGridSize];
  float y[kStlGridSize][kStlGridSize];
  float z[kStlGridSize][kStlGridSize];
  float rgb[kStlGridSize][kStlGridSize][3];
};

void SampleReference(const NoiseSettings& settings, Reference* out) {
  float hsv[3] = {0.0f, 1.0f, 1.0f};
  for (int i = 0; i < kStlGridSize; i++) {
    for (int j = 0; j < kStlGridSize; j++) {
      float x = static_cast<float>(j / 199.0);
      float y = static_cast<float>(i / 199.0);
      float sum = 0.0f;
      float amplitude = 1.0f;
      for (int k = 0; k <= settings.octaveIndex; k++) {
        const int ix = static_cast<int>(x);
        const int iy = static_cast<int>(y);
        const float fx = x - ix;
        const float fy = y - iy;
        const LatticePoint& l00 = NoiseLattice[iy][ix];
        const LatticePoint& l10 = NoiseLattice[iy][ix + 1];
        const LatticePoint& l01 = NoiseLattice[iy + 1][ix];
        const LatticePoint& l11 = NoiseLattice[iy + 1][ix + 1];
        float n;
        if (settings.noiseType == kGradientOnly) {
          const float pb = HermiteBlend(0, l00.gx, l00.cx, 0, l10.gx, l10.cx, fx, settings.interpolation);
          const float sb = HermiteBlend(l00.gy, l00.cy, 0, l10.gy, l10.cy, 0, fx, settings.interpolation);
          const float kb = HermiteBlend(l00.cy, 0, 0, l10.cy, 0, 0, fx, settings.interpolation);
          const float pt = HermiteBlend(0, l01.gx, l01.cx, 0, l11.gx, l11.cx, fx, settings.interpolation);
          const float st = HermiteBlend(l01.gy, l01.cy, 0, l11.gy, l11.cy, 0, fx, settings.interpolation);
          const float kt = HermiteBlend(l01.cy, 0, 0, l11.cy, 0, 0, fx, settings.interpolation);
          n = HermiteBlend(pb, sb, kb, pt, st, kt, fy, settings.interpolation);
        } else {
          const float lower = HermiteBlendNoCurvature(l00.value, 0, l10.value, 0, fx, settings.interpolation);
          const float upper = HermiteBlendNoCurvature(l01.value, 0, l11.value, 0, fx, settings.interpolation);
          n = HermiteBlendNoCurvature(lower, 0, upper, 0, fy, settings.interpolation);
        }
        sum = sum + n * amplitude;
        x = x * 2;
        y = y * 2;
        amplitude = amplitude / 2.0f;
      }
      if (settings.turbulence) sum = std::fabs(sum);
      out->x[i][j] = static_cast<float>(4.0 * j / 199.0);
      out->y[i][j] = static_cast<float>(4.0 * i / 199.0);
      out->z[i][j] = static_cast<float>((sum + 1.0) * 1.0 / 2.0);
      float hue = 240.0f - (sum + 1.0f) * 120.0f;
      hue = hue > 240.0f ? 240.0f : (hue < 0.0f ? 0.0f : hue);
      hsv[0] = hue;
      HsvToRgb(hsv, out->rgb[i][j]);
    }
  }
}

std::string Fixed(float v, const char* format) {
  char text[64];
  snprintf(text, sizeof text, format, static_cast<double>(v));
  return text;
}

// ===========================================================================
// Reading the file back
// ===========================================================================
struct Facet {
  std::array<std::string, 3> vertex;  // "x y z" as printed
  std::array<std::array<float, 3>, 3> at;
  std::string colour;                  // the colour line before it, or ""
};

struct ParsedStl {
  std::vector<Facet> facets;
  int whiteGroupAt = -1;  // facets before the white colour line group
  int whiteGroups = 0;
  std::string error;      // the first thing out of place
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

bool ParseVertex(const std::string& line, std::string* text, std::array<float, 3>* at) {
  // "   vertex %8.4f %8.4f %8.4f": fixed columns for the heights we make.
  if (line.size() != 36 || line.compare(0, 10, "   vertex ") != 0) return false;
  *text = line.substr(10);
  return sscanf(text->c_str(), "%f %f %f", &(*at)[0], &(*at)[1], &(*at)[2]) == 3;
}

ParsedStl Parse(const std::string& text) {
  ParsedStl out;
  const std::vector<std::string> lines = Lines(text);
  if (lines.empty() || lines[0] != "solid noise") {
    out.error = "no 'solid noise' first";
    return out;
  }
  std::string colour;
  size_t i = 1;
  while (i < lines.size() && lines[i] != "endsolid") {
    const std::string& line = lines[i];
    if (line.compare(0, 7, " color ") == 0 && line.size() == 27) {
      if (!colour.empty()) out.error = "two colour lines in a row at line " + std::to_string(i);
      colour = line;
      i++;
    } else if (line.empty() && i + 2 < lines.size() && lines[i + 1] == "  color   1.00   1.00   1.00" &&
               lines[i + 2].empty()) {
      out.whiteGroups++;
      out.whiteGroupAt = static_cast<int>(out.facets.size());
      i += 3;
    } else if (line == " facet normal 0.0 0.0 0.0" && i + 6 < lines.size() &&
               lines[i + 1] == "  outer loop" && lines[i + 5] == "  endloop" &&
               lines[i + 6] == " endfacet") {
      Facet f;
      for (int v = 0; v < 3; v++)
        if (!ParseVertex(lines[i + 2 + v], &f.vertex[v], &f.at[v]))
          out.error = "bad vertex line " + std::to_string(i + 2 + v) + ": " + lines[i + 2 + v];
      f.colour = colour;
      colour.clear();
      out.facets.push_back(f);
      i += 7;
    } else {
      out.error = "unexpected line " + std::to_string(i) + ": '" + line + "'";
      return out;
    }
    if (!out.error.empty()) return out;
  }
  if (i + 1 != lines.size()) out.error = "no 'endsolid' as the last line";
  return out;
}

constexpr int kTopFacets = 2 * 199 * 199;
constexpr int kWallFacets = 2 * 4 * 199;
constexpr int kBaseFacets = 4 * 199;

}  // namespace

class StlTest : public NoiseTest {
 protected:
  // The file for the current settings, as WriteStl would write it.
  std::string SolidText(std::string* progress = nullptr) {
    SampleSolid(settings, &solid_);
    StringSink sink;
    MessageCapture messages;
    int facets = 0;
    EXPECT_TRUE(WriteStlSolid(sink, solid_.grid, solid_.rgb, messages.file(), &facets));
    EXPECT_EQ(facets, kStlFacetCount);
    if (progress) *progress = messages.Text();
    return sink.text;
  }

  void Settings(int type, int interpolation, int octaveIndex, int turbulence) {
    settings.noiseType = type;
    settings.interpolation = interpolation;
    settings.octaveIndex = octaveIndex;
    settings.turbulence = turbulence;
  }

  // Curvatures everywhere the exporter reads, so that every argument of
  // every blend matters.
  void CurveTheLattice() {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> curvature(-10.0f, 10.0f);
    for (int r = 0; r <= 130; r++)
      for (int c = 0; c <= 130; c++) {
        Point(r, c).cx = curvature(random);
        Point(r, c).cy = curvature(random);
      }
  }

  static ::Solid solid_;  // 1.3 MB: static, off the stack
};

::Solid StlTest::solid_;


TEST_F(StlTest, SamplingMatchesThePlainEvaluationBitForBit) {
  CurveTheLattice();
  ControlValue(1) = -0.9f;  // a dragged control point
  static Reference reference;
  for (int type : {kValueOnly, kGradientOnly, kValueGradient})
    for (int interpolation : {kCubic, kQuintic})
      for (int octaveIndex : {0, 1, 4, 7})
        for (int turbulence : {0, 1}) {
          Settings(type, interpolation, octaveIndex, turbulence);
          SampleSolid(settings, &solid_);
          SampleReference(settings, &reference);
          int differences = 0;
          for (int i = 0; i < kStlGridSize; i++)
            for (int j = 0; j < kStlGridSize; j++) {
              differences += solid_.grid.x[i][j] != reference.x[i][j];
              differences += solid_.grid.y[i][j] != reference.y[i][j];
              differences += solid_.grid.z[i][j] != reference.z[i][j];
              for (int c = 0; c < 3; c++) differences += solid_.rgb[i][j][c] != reference.rgb[i][j][c];
            }
          EXPECT_EQ(differences, 0) << "type " << type << " interpolation " << interpolation
                                    << " octaves " << octaveIndex + 1 << " turbulence "
                                    << turbulence;
        }
}

TEST_F(StlTest, FileLayoutAndProgress) {
  std::string progress;
  const std::string text = SolidText(&progress);
  const ParsedStl stl = Parse(text);
  ASSERT_EQ(stl.error, "");
  ASSERT_EQ(stl.facets.size(), 81590u);
  EXPECT_EQ(text.substr(text.size() - 9), "endsolid\n");
  // Colour lines precede the top facets, and only those.
  for (int f = 0; f < kTopFacets; f++) ASSERT_NE(stl.facets[f].colour, "") << f;
  for (size_t f = kTopFacets; f < stl.facets.size(); f++) ASSERT_EQ(stl.facets[f].colour, "") << f;
  // One white group, between the top and the walls.
  EXPECT_EQ(stl.whiteGroups, 1);
  EXPECT_EQ(stl.whiteGroupAt, kTopFacets);
  EXPECT_EQ(Occurrences(text, "\n  color   1.00   1.00   1.00\n\n"), 1);
  // One progress mark per cell, per wall segment and for the base.
  EXPECT_EQ(Occurrences(progress, "\b\b\b\b\b\b"), 199 * 199 + 4 * 199 + 1);
  EXPECT_EQ(progress.substr(0, 24), "\b\b\b\b\b\b     2\b\b\b\b\b\b     4");
  EXPECT_EQ(progress.substr(progress.size() - 13), "\b\b\b\b\b\b 81590\n");
}

TEST_F(StlTest, FirstFacetSitsOnTheFirstGridPoints) {
  static Reference reference;
  SampleReference(settings, &reference);
  const ParsedStl stl = Parse(SolidText());
  ASSERT_EQ(stl.error, "");
  const Facet& first = stl.facets[0];
  EXPECT_EQ(first.vertex[0], "  0.0000   0.0000 " + Fixed(reference.z[0][0], "%8.4f"));
  EXPECT_EQ(first.vertex[1], "  0.0201   0.0000 " + Fixed(reference.z[0][1], "%8.4f"));
  EXPECT_EQ(first.vertex[2], "  0.0201   0.0201 " + Fixed(reference.z[1][1], "%8.4f"));
  std::string colour = " color";
  for (int c = 0; c < 3; c++)
    colour += " " + Fixed((reference.rgb[0][0][c] + reference.rgb[0][1][c] + reference.rgb[1][1][c]) /
                             3.0f,
                         "%6.2f");
  EXPECT_EQ(first.colour, colour);
  // The second facet of the cell: (0,0), (1,1), (0,1).
  EXPECT_EQ(stl.facets[1].vertex[0], first.vertex[0]);
  EXPECT_EQ(stl.facets[1].vertex[1], first.vertex[2]);
  EXPECT_EQ(stl.facets[1].vertex[2], "  0.0000   0.0201 " + Fixed(reference.z[1][0], "%8.4f"));
}

TEST_F(StlTest, OneOctaveCoversOneLatticeCell) {
  Settings(kValueOnly, kCubic, 0, 0);
  ControlValue(1) = -0.6f;  // dragged
  SampleSolid(settings, &solid_);
  EXPECT_EQ(solid_.grid.z[0][0], (Point(0, 0).value + 1.0f) / 2.0f);
  EXPECT_EQ(solid_.grid.z[0][199], (Point(0, 1).value + 1.0f) / 2.0f);
  EXPECT_EQ(solid_.grid.z[199][0], (Point(1, 0).value + 1.0f) / 2.0f);
  EXPECT_EQ(solid_.grid.z[199][199], (Point(1, 1).value + 1.0f) / 2.0f);
  EXPECT_EQ(solid_.grid.x[199][199], 4.0f);
  EXPECT_EQ(solid_.grid.y[199][199], 4.0f);
  // Gradient-Only takes 0 as every corner value: the corners sit at z = 0.5.
  Settings(kGradientOnly, kQuintic, 0, 0);
  SampleSolid(settings, &solid_);
  for (float z : {solid_.grid.z[0][0], solid_.grid.z[0][199], solid_.grid.z[199][0], solid_.grid.z[199][199]}) EXPECT_EQ(z, 0.5f);
}

TEST_F(StlTest, TurbulenceKeepsTheTopAtOrAboveHalf) {
  CurveTheLattice();
  for (int type : {kValueOnly, kGradientOnly, kValueGradient})
    for (int octaveIndex : {0, 3, 7}) {
      Settings(type, kQuintic, octaveIndex, 1);
      SampleSolid(settings, &solid_);
      float lowest = 1.0e9f;
      for (const auto& row : solid_.grid.z)
        for (float z : row) lowest = std::min(lowest, z);
      EXPECT_GE(lowest, 0.5f) << type << " " << octaveIndex;
    }
  Settings(kGradientOnly, kCubic, 7, 1);
  const ParsedStl stl = Parse(SolidText());
  ASSERT_EQ(stl.error, "");
  for (int f = 0; f < kTopFacets; f++)
    for (int v = 0; v < 3; v++) ASSERT_GE(stl.facets[f].at[v][2], 0.5f) << f;
}

TEST_F(StlTest, ValueGradientExportsExactlyWhatValueOnlyDoes) {
  CurveTheLattice();
  Settings(kValueOnly, kQuintic, 2, 1);
  const std::string valueOnly = SolidText();
  Settings(kValueGradient, kQuintic, 2, 1);
  EXPECT_TRUE(SolidText() == valueOnly);
  Settings(kGradientOnly, kQuintic, 2, 1);
  EXPECT_FALSE(SolidText() == valueOnly);
}

TEST_F(StlTest, ColoursRunFromBlueThroughGreenToRedWithTheSum) {
  Settings(kValueOnly, kCubic, 0, 0);
  App.colourScale = kFire;  // the solid's colours do not follow the texture's scale
  const struct {
    float value;
    const char* colour;
  } cases[] = {{-1.0f, " color   0.00   0.00   1.00"},
               {0.0f, " color   0.00   1.00   0.00"},
               {0.5f, " color   1.00   1.00   0.00"},
               {1.0f, " color   1.00   0.00   0.00"},
               {-2.0f, " color   0.00   0.00   1.00"}};  // beyond the hue range: clamped
  for (const auto& c : cases) {
    for (int r = 0; r <= 1; r++)
      for (int col = 0; col <= 1; col++) Point(r, col).value = c.value;
    const ParsedStl stl = Parse(SolidText());
    ASSERT_EQ(stl.error, "");
    int others = 0;
    for (int f = 0; f < kTopFacets; f++) others += stl.facets[f].colour != c.colour;
    EXPECT_EQ(others, 0) << c.value;
  }
}

TEST_F(StlTest, WallsAndBaseCloseTheSolidAtMinusAQuarter) {
  const ParsedStl stl = Parse(SolidText());
  ASSERT_EQ(stl.error, "");
  // Walls: each segment a facet with two top vertices and one on the base,
  // then one with one top vertex and two on the base; all on the border.
  for (int f = kTopFacets; f < kTopFacets + kWallFacets; f++) {
    const Facet& facet = stl.facets[f];
    int onBase = 0;
    for (int v = 0; v < 3; v++) {
      const float x = facet.at[v][0], y = facet.at[v][1];
      ASSERT_TRUE(x == 0.0f || x == 4.0f || y == 0.0f || y == 4.0f) << f;
      onBase += facet.vertex[v].substr(18) == " -0.2500";
    }
    ASSERT_EQ(onBase, (f - kTopFacets) % 2 == 0 ? 1 : 2) << f;
  }
  // Base: a fan whose every facet has the centre as its second vertex.
  for (int f = kTopFacets + kWallFacets; f < kStlFacetCount; f++) {
    const Facet& facet = stl.facets[f];
    ASSERT_EQ(facet.vertex[1], "  2.0000   2.0000  -0.2500") << f;
    ASSERT_EQ(facet.vertex[0].substr(18), " -0.2500") << f;
    ASSERT_EQ(facet.vertex[2].substr(18), " -0.2500") << f;
  }
  EXPECT_EQ(kStlFacetCount - kTopFacets - kWallFacets, kBaseFacets);
  // The writer only reads the grid: the top is where sampling put it.
  const float top = solid_.grid.z[100][100];
  SampleSolid(settings, &solid_);
  EXPECT_EQ(solid_.grid.z[100][100], top);
  EXPECT_NE(top, -0.25f);
}

// Closed and consistently oriented: every edge belongs to exactly two
// facets, which run along it in opposite directions.
TEST_F(StlTest, TheSolidIsClosed) {
  CurveTheLattice();
  for (int heaviest : {0, 1}) {
    if (heaviest) Settings(kGradientOnly, kQuintic, 7, 1);
    const ParsedStl stl = Parse(SolidText());
    ASSERT_EQ(stl.error, "");
    std::unordered_map<std::string, int> directed;
    int degenerate = 0;
    for (const Facet& f : stl.facets)
      for (int v = 0; v < 3; v++) {
        const std::string& a = f.vertex[v];
        const std::string& b = f.vertex[(v + 1) % 3];
        degenerate += a == b;
        directed[a + "|" + b]++;
      }
    EXPECT_EQ(degenerate, 0);
    int unmatched = 0;
    for (const auto& [edge, count] : directed) {
      const size_t bar = edge.find('|');
      const std::string reverse = edge.substr(bar + 1) + "|" + edge.substr(0, bar);
      const auto back = directed.find(reverse);
      unmatched += count != 1 || back == directed.end() || back->second != 1;
    }
    EXPECT_EQ(unmatched, 0) << "heaviest " << heaviest;
    EXPECT_EQ(directed.size(), 3u * kStlFacetCount);
  }
}

// ---------------------------------------------------------------------------
// Saving to a file
// ---------------------------------------------------------------------------

TEST_F(StlTest, SaveWritesTheFileAndReports) {
  ScratchDir dir;
  const std::string name = dir / "noise001N.stl";
  WriteFile(name, "an earlier solid");
  const std::string expected = SolidText();
  SampleSolid(settings, &solid_);
  MessageCapture messages;
  EXPECT_TRUE(SaveStl(name, solid_.grid, solid_.rgb, messages.file()));
  // A file is no terminal: no progress marks (the e2e tests see them on one).
  EXPECT_EQ(messages.Text(), "Writing STL file '" + name + "':\n81590 triangles written.\n");
  EXPECT_TRUE(ReadFile(name) == expected);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"noise001N.stl"});
}

TEST_F(StlTest, AFailedWriteIsReportedAndKeepsTheEarlierFile) {
  const size_t length = SolidText().size();
  for (size_t limit : {size_t{0}, size_t{11}, size_t{1} << 20, length - 1}) {
    ScratchDir dir;
    const std::string name = dir / "noise001N.stl";
    WriteFile(name, "an earlier solid");
    SampleSolid(settings, &solid_);
    MessageCapture messages;
    {
      const FileSizeLimit full(limit);
      EXPECT_FALSE(SaveStl(name, solid_.grid, solid_.rgb, messages.file()));
    }
    EXPECT_EQ(messages.Text(), "Writing STL file '" + name + "':\nCannot write STL file '" +
                                   name + "'\n  File too large\n")
        << limit;
    EXPECT_EQ(ReadFile(name), "an earlier solid") << limit;
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"noise001N.stl"}) << limit;
  }
  // Without an earlier file, nothing at all is left.
  ScratchDir dir;
  SampleSolid(settings, &solid_);
  MessageCapture messages;
  const FileSizeLimit full(5000);
  EXPECT_FALSE(SaveStl(dir / "noise001N.stl", solid_.grid, solid_.rgb, messages.file()));
  EXPECT_TRUE(dir.Entries().empty());
}

TEST_F(StlTest, AFolderAtTheNameCannotBeCreated) {
  ScratchDir dir;
  const std::string name = dir / "noise001N.stl";
  ASSERT_EQ(mkdir(name.c_str(), 0755), 0);
  SampleSolid(settings, &solid_);
  MessageCapture messages;
  EXPECT_FALSE(SaveStl(name, solid_.grid, solid_.rgb, messages.file()));
  // Only this: neither "Writing STL file" nor a count.
  EXPECT_EQ(messages.Text(), "Cannot create STL file '" + name + "'\n  Is a directory\n");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"noise001N.stl"});
}

// What a reader of the "COLOR=" / "MATERIAL=" layout decodes from the binary
// file: the rainbow of the ASCII file's colour lines on top, grey elsewhere.
TEST_F(StlTest, TheBinaryColourWordsDecodeToTheAsciiColours) {
  Settings(kValueOnly, kQuintic, 3, 0);
  const ParsedStl ascii = Parse(SolidText());
  ASSERT_EQ(ascii.error, "");
  SampleSolid(settings, &solid_);
  StringSink binary;
  int facets = 0;
  ASSERT_TRUE(::WriteStlBinary(binary, solid_.grid, solid_.rgb, &facets));
  ASSERT_EQ(binary.text.size(), kStlBinarySize);

  // The header, byte for byte: readers look for both words before the first
  // zero byte, so none comes earlier.
  const std::string header = binary.text.substr(0, 80);
  const std::string expected = std::string("COLOR=\x80\x80\x80\xff,MATERIAL=") +
                               "\x80\x80\x80\xff\x33\x33\x33\xff\x40\x40\x40\xff" +
                               " noisedemo height field, 4 x 4 units";
  EXPECT_EQ(header.substr(0, expected.size()), expected);
  EXPECT_EQ(header.find('\0'), expected.size());
  EXPECT_EQ(header.substr(expected.size()), std::string(80 - expected.size(), '\0'));

  int top = 0;
  for (int f = 0; f < kStlFacetCount; f++) {
    const auto* at = reinterpret_cast<const unsigned char*>(binary.text.data()) + 84 + 50 * f + 48;
    const unsigned word = at[0] | at[1] << 8;
    ASSERT_EQ(word & 0x8000, 0u) << f;  // every facet has its own colour
    const float decoded[3] = {(word & 31) / 31.0f, (word >> 5 & 31) / 31.0f,
                              (word >> 10 & 31) / 31.0f};
    if (f >= kTopFacets) {
      ASSERT_EQ(word, 0x4210u) << f;  // 16 of 31 in each channel: grey 128
      continue;
    }
    float line[3];
    ASSERT_EQ(sscanf(ascii.facets[f].colour.c_str(), " color %f %f %f", &line[0], &line[1],
                     &line[2]), 3);
    // round(c * 31) is within 1/62 of c, and the line's %6.2f within 0.005.
    for (int c = 0; c < 3; c++) ASSERT_NEAR(decoded[c], line[c], 1.0f / 62 + 0.005f + 1e-6f) << f;
    top++;
  }
  EXPECT_EQ(top, kTopFacets);
}
