#include "app/start.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include "app/app_state.h"
#include "app/control_panel.h"
#include "app/exports.h"
#include "app/heightmap.h"
#include "app/png_texts.h"
#include "app/solid.h"
#include "app/windows.h"
#include "app/platform.h"
#include "export/atomic_file.h"
#include "export/bmp_writer.h"
#include "export/stl_binary.h"
#include "export/stl_writer.h"
#include "noise/lattice.h"
#include "render/texture_fill_fast.h"

namespace {

// Whether descriptor 1 was closed when the program started, so that what
// stands there now is our /dev/null and not a place the user chose.
bool OutputClosedAtStart = false;

}  // namespace

void OpenClosedStandardStreams() {
  for (int fd = 0; fd <= 2; fd++) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    if (fd == STDOUT_FILENO) OutputClosedAtStart = true;
    // The lowest free number is taken, which is fd itself: 0, 1 and 2 are
    // filled in order.
    const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) {
      dup2(opened, fd);
      close(opened);
    }
  }
}

namespace {

// What a file name stands for, to tell whether two outputs would write the
// same file: an existing file by its device and inode; a file still to be
// made by its folder's device and inode and its own name.
struct FileIdentity {
  bool known = false;
  dev_t device = 0;
  ino_t inode = 0;
  std::string name;  // empty for an existing file

  bool operator==(const FileIdentity& other) const {
    return known && other.known && device == other.device && inode == other.inode &&
           name == other.name;
  }
};

FileIdentity IdentityOf(const std::string& path) {
  FileIdentity id;
  struct stat st;
  if (path == "-") {
    if (fstat(STDOUT_FILENO, &st) != 0) return id;
  } else {
    std::string place;
    if (!FollowLinks(path, &place)) return id;
    if (stat(place.c_str(), &st) != 0) {
      const std::string folder = FolderPrefix(place);
      if (stat(folder.empty() ? "." : folder.c_str(), &st) != 0) return id;
      id.name = place.substr(folder.size());
    }
  }
  id.known = true;
  id.device = st.st_dev;
  id.inode = st.st_ino;
  return id;
}

// Whether an output lands on a terminal, whatever its name: "-" on one, or
// /dev/stdout, /dev/tty, /dev/pts/N. Only a character device is opened to
// ask (without becoming the controlling terminal, and without waiting): a
// FIFO would wait here for its reader.
bool IsTerminal(const std::string& file) {
  if (file == "-") return isatty(STDOUT_FILENO) != 0;
  struct stat st;
  if (stat(file.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) return false;
  const int fd = open(file.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;  // the export says why it cannot be written
  const bool terminal = isatty(fd) != 0;
  close(fd);
  return terminal;
}

// Whether `file` names what descriptor `fd` is open on.
bool SameFile(const std::string& file, int fd) {
  struct stat named;
  struct stat open;
  return stat(file.c_str(), &named) == 0 && fstat(fd, &open) == 0 &&
         named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

}  // namespace

bool CheckBatchOutputs(const StartOptions& options, std::string* error) {
  std::vector<std::pair<std::string, FileIdentity>> outputs;
  for (const ExportFormatInfo& format : kExportFormats) {
    const std::string* file = &options.Output(format.id);
    if (file->empty()) continue;
    const std::string named = std::string(format.option) + "=" + *file;
    if (*file == "-" && OutputClosedAtStart) {
      *error = named + ": standard output was closed at start, so the data would go "
                       "nowhere; redirect it to a file or a pipe";
      return false;
    }
    if (IsTerminal(*file)) {
      *error = named + " would put binary data on the terminal; " +
               (*file == "-" || SameFile(*file, STDOUT_FILENO)
                    ? "redirect standard output to a file or a pipe"
                    : "name a file or a pipe");
      return false;
    }
    const FileIdentity id = IdentityOf(*file);
    for (const auto& [earlier, earlierId] : outputs) {
      if (earlier.substr(earlier.find('=') + 1) == *file || earlierId == id) {
        *error = earlier + " and " + named + " name the same file; give each output its own";
        return false;
      }
    }
    outputs.emplace_back(named, id);
  }
  return true;
}

void ApplyStartSettings(const StartOptions& options) {
  if (options.noiseType) App.noise.noiseType = *options.noiseType;
  if (options.interpolation) App.noise.interpolation = *options.interpolation;
  if (options.gradientRule) App.noise.gradientRule = *options.gradientRule;
  if (options.octaveIndex) App.noise.octaveIndex = *options.octaveIndex;
  if (options.turbulence) App.noise.turbulence = 1;
  if (options.colourScale) App.colourScale = *options.colourScale;
  App.views = options.views;
  // Both callers have filled the lattice from the seed by now.
  ApplyPointEdits(options.points);
}

int RunBatchExports(const StartOptions& options) {
  // Without --seed, a seed from the front end's clock, as the windows take one.
  const uint32_t seed = options.seed ? *options.seed : CurrentPlatform().ElapsedMs();
  if (!options.seed) fprintf(stderr, "noisedemo: --seed=%u\n", static_cast<unsigned>(seed));
  SeedGenerator(seed);
  FillNewLattice();
  Reset();
  ApplyStartSettings(options);

  const std::string& bmp = options.Output(ExportFormat::kBmp);
  const std::string& png = options.Output(ExportFormat::kPng);
  const std::string& heightmap = options.Output(ExportFormat::kHeightmap);
  const std::string& stl = options.Output(ExportFormat::kStl);
  const std::string& stlBinary = options.Output(ExportFormat::kStlBinary);

  bool ok = true;
  // The texture as a 512 by 512 window shows it: each texel is one pixel,
  // row 0 at the bottom, which is the order the read-back delivers rows in.
  const uint8_t* const snapshot = &NoiseTexture[0][0][0];
  if (!bmp.empty() || !png.empty()) FillShownTexture();
  if (!bmp.empty()) ok = SaveBmp(bmp, snapshot, kTextureSize, kTextureSize, stderr) && ok;
  if (!png.empty())
    ok = SaveSnapshotPng(png, snapshot, kTextureSize, kTextureSize, stderr) && ok;
  if (!heightmap.empty()) ok = SaveHeightmap(heightmap, App.noise, PngTexts(), stderr) && ok;

  if (!stl.empty() || !stlBinary.empty()) {
    // One sampling serves both formats: the writers only read the solid.
    const std::unique_ptr<Solid> solid(new (std::nothrow) Solid);
    if (solid == nullptr) {
      fprintf(stderr, "Cannot make room for the STL solid\n");
      return 1;
    }
    SampleSolid(App.noise, solid.get());
    if (!stl.empty()) ok = SaveStl(stl, solid->grid, solid->rgb, stderr) && ok;
    if (!stlBinary.empty()) ok = SaveStlBinary(stlBinary, solid->grid, solid->rgb, stderr) && ok;
  }
  return ok ? 0 : 1;
}

void OpenWindows(const StartOptions& options) {
  if (options.seed) ChooseSeed(*options.seed);
  InitGraphics();
  Reset();
  ApplyStartSettings(options);
  InitGlui();
  InitViewsPanel();
}
