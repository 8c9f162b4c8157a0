// The words the command line prints: the help text, each setting's option
// word, and key i's reproducing command.
#include <string>
#include <vector>

#include "app/choices.h"
#include "app/command_line.h"
#include "app/number_words.h"

const char* UsageText() {
  return "Usage: noisedemo [GLUT options] [options]\n"
         "\n"
         "An interactive demonstrator of lattice noise: a graph of one-dimensional noise\n"
         "with eight draggable control points, a texture of two-dimensional noise and a\n"
         "control panel. Keys in the graph and texture windows: b saves the texture as a\n"
         "BMP image, p as a PNG, h saves a 16-bit heightmap, s saves the BMP and the\n"
         "noise as an ASCII STL solid, m as a binary STL, i prints the command line that\n"
         "reproduces the picture, edited points included, q or Escape quits.\n"
         "\n"
         "Settings at start (the panel shows them and can change them):\n"
         "  --seed=N            fill the first lattice from seed N (0 to 4294967295)\n"
         "                      instead of the clock, so the picture can be made again\n"
         "  --noise=TYPE        value, gradient or value+gradient (default value)\n"
         "  --blend=BLEND       cubic or quintic (default cubic)\n"
         "  --slopes=RULE       zero or catmull-rom, for value noise in 1D (default zero)\n"
         "  --octaves=K         1 to 8 (default 1)\n"
         "  --turbulence        fold every octave above the midpoint\n"
         "  --scale=SCALE       grey, rainbow, clouds or fire (default grey)\n"
         "  --point=K:V,G,C     after the seed's fill, give control point K (0 to 7) the\n"
         "                      value V (-1 to 1), gradient G (-1 to 1) and curvature C\n"
         "                      (-10 to 10), as a drag and the two sliders would; once\n"
         "                      per point, for as many points as were edited\n"
         "\n"
         "Batch exports (no window, no display needed; the program exits when done):\n"
         "  --bmp=FILE          write the 512 x 512 texture as a 24-bit BMP image\n"
         "  --png=FILE          the same image as a PNG\n"
         "  --heightmap=FILE    the noise as a 512 x 512 16-bit greyscale PNG heightmap\n"
         "  --stl=FILE          write the noise as a closed ASCII STL height field\n"
         "  --stl-binary=FILE   the same solid as a binary STL with colours\n"
         "  A FILE of - is standard output.\n"
         "\n"
         "  --help              show this text and exit\n"
         "  --version           show the version and exit\n"
         "\n"
         "Key i prints a command that makes the picture again, for instance\n"
         "  noisedemo --seed=7 --noise=value+gradient --blend=quintic --slopes=zero\n"
         "    --octaves=3 --scale=grey --point=3:0.9,0.75,-6.5\n"
         "and the same command with --png=FILE writes that picture without a window.\n"
         "\n"
         "GLUT's own options, such as -display DISPLAY and -geometry WxH+X+Y, may be\n"
         "given too. Exit status: 0 on success, 1 when a batch export fails, 2 for a\n"
         "mistake on the command line.\n";
}

const char* NoiseTypeWord(int noiseType) { return ChoiceOf(kNoiseChoices, noiseType).word; }
const char* BlendWord(int interpolation) { return ChoiceOf(kBlendChoices, interpolation).word; }
const char* SlopesWord(int gradientRule) { return ChoiceOf(kSlopeChoices, gradientRule).word; }
const char* ScaleWord(int colourScale) { return ChoiceOf(kScaleChoices, colourScale).word; }

std::string ReproducingCommand(uint32_t seed, const ReproducedSettings& s,
                               const std::vector<PointEdit>& edits) {
  std::string line = "noisedemo --seed=" + std::to_string(seed);
  line += std::string(" --noise=") + NoiseTypeWord(s.noiseType);
  line += std::string(" --blend=") + BlendWord(s.interpolation);
  line += std::string(" --slopes=") + SlopesWord(s.gradientRule);
  line += " --octaves=" + std::to_string(s.octaveIndex + 1);
  if (s.turbulence) line += " --turbulence";
  line += std::string(" --scale=") + ScaleWord(s.colourScale);
  for (const PointEdit& e : edits) {
    line += " --point=" + std::to_string(e.point) + ":" + FloatWord(e.value) + "," +
            FloatWord(e.gradient) + "," + FloatWord(e.curvature);
  }
  return line;
}
