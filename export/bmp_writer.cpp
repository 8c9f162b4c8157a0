#include "export/bmp_writer.h"

#include <cstdint>
#include <vector>

#include "export/printable.h"
#include "export/save_file.h"

namespace {

constexpr uint16_t kBmpType = 0x4D42;  // "BM" once written low byte first
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint16_t kPlanes = 1;
constexpr uint16_t kBitsPerPixel = 24;
constexpr uint32_t kNoCompression = 0;
constexpr uint32_t kPixelsPerMetre = 100;
constexpr uint64_t kLargestFile = UINT32_MAX;

// The padding of every row comes from here; it is never written to.
const uint8_t ZeroBlock[4] = {0, 0, 0, 0};

}  // namespace

bool ComputeBmpLayout(int width, int height, BmpLayout* layout) {
  if (width <= 0 || height <= 0) return false;
  const uint64_t rowBytes = 3 * static_cast<uint64_t>(width);
  const uint64_t rowLength = ((rowBytes + 3) / 4) * 4;
  const uint64_t fileSize = kBmpHeaderSize + static_cast<uint64_t>(height) * rowLength;
  if (fileSize > kLargestFile) return false;
  layout->rowLength = static_cast<uint32_t>(rowLength);
  layout->rowPad = static_cast<uint32_t>(rowLength - rowBytes);
  layout->fileSize = static_cast<uint32_t>(fileSize);
  return true;
}

bool WriteInt16(ByteSink& file, uint16_t value) {
  const uint8_t bytes[2] = {static_cast<uint8_t>(value & 0xFF),
                            static_cast<uint8_t>((value >> 8) & 0xFF)};
  return file.Write(bytes, sizeof bytes);
}

bool WriteInt32(ByteSink& file, uint32_t value) {
  const uint8_t bytes[4] = {
      static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>((value >> 8) & 0xFF),
      static_cast<uint8_t>((value >> 16) & 0xFF), static_cast<uint8_t>((value >> 24) & 0xFF)};
  return file.Write(bytes, sizeof bytes);
}

bool WriteBmpImage(ByteSink& file, const uint8_t* rgb, int width, int height) {
  BmpLayout layout;
  if (!ComputeBmpLayout(width, height, &layout)) return false;

  // ------------------------------------------------------------------ headers
  bool ok = WriteInt16(file, kBmpType);
  ok = ok && WriteInt32(file, layout.fileSize);
  ok = ok && WriteInt16(file, 0);  // reserved 1
  ok = ok && WriteInt16(file, 0);  // reserved 2
  ok = ok && WriteInt32(file, kBmpHeaderSize);
  ok = ok && WriteInt32(file, kInfoHeaderSize);
  ok = ok && WriteInt32(file, static_cast<uint32_t>(width));
  ok = ok && WriteInt32(file, static_cast<uint32_t>(height));  // positive: bottom-up rows
  ok = ok && WriteInt16(file, kPlanes);
  ok = ok && WriteInt16(file, kBitsPerPixel);
  ok = ok && WriteInt32(file, kNoCompression);
  ok = ok && WriteInt32(file, 0);  // image size, optional when uncompressed
  ok = ok && WriteInt32(file, kPixelsPerMetre);
  ok = ok && WriteInt32(file, kPixelsPerMetre);
  ok = ok && WriteInt32(file, 0);  // colours used
  ok = ok && WriteInt32(file, 0);  // important colours
  if (!ok) return false;

  // --------------------------------------------------------------- pixel rows
  // One write per row instead of one per byte: the bytes are the same.
  const size_t rowBytes = 3 * static_cast<size_t>(width);
  std::vector<uint8_t> row(layout.rowLength);
  for (int y = 0; y < height; y++) {
    const uint8_t* in = rgb + rowBytes * static_cast<size_t>(y);
    uint8_t* out = row.data();
    for (int x = 0; x < width; x++, in += 3, out += 3) {
      out[0] = in[2];  // blue
      out[1] = in[1];  // green
      out[2] = in[0];  // red
    }
    for (uint32_t k = 0; k < layout.rowPad; k++) out[k] = ZeroBlock[k];
    if (!file.Write(row.data(), row.size())) return false;
  }
  return true;
}

bool SaveBmp(const std::string& fileName, const uint8_t* rgb, int width, int height,
             FILE* messages) {
  const bool ok = SaveFile(fileName, "BMP", messages, [&](ByteSink& sink) {
    return WriteBmpImage(sink, rgb, width, height);
  });
  if (ok) fprintf(messages, "Image file '%s' created.\n", Printable(fileName).c_str());
  return ok;
}

bool CheckBmpWindowSize(int width, int height, FILE* messages) {
  BmpLayout layout;
  if (ComputeBmpLayout(width, height, &layout)) return true;
  fprintf(messages, "WriteBmp() cannot save a window of %d x %d pixels!\n", width, height);
  // The reason under it, as under every failed export.
  if (width <= 0 || height <= 0) {
    fprintf(messages, "  the window is %d x %d pixels\n", width, height);
  } else {
    fprintf(messages, "  the image would be over 4 GB, more than a BMP file can hold\n");
  }
  return false;
}
