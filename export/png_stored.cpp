#include "export/png_stored.h"

#include <cstdint>
#include <string>

namespace {

void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v >> 24));
  out.push_back(static_cast<uint8_t>(v >> 16));
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}

// One chunk: its length, type, data and the CRC over type and data.
bool WriteChunk(ByteSink& file, const char type[4], const std::vector<uint8_t>& data) {
  std::vector<uint8_t> chunk;
  chunk.reserve(data.size() + 12);
  PutBig32(chunk, static_cast<uint32_t>(data.size()));
  chunk.insert(chunk.end(), type, type + 4);
  chunk.insert(chunk.end(), data.begin(), data.end());
  PutBig32(chunk, PngCrc32(chunk.data() + 4, data.size() + 4));
  return file.Write(chunk.data(), chunk.size());
}

// The zlib stream of `raw` in stored blocks of at most 65535 bytes each:
// header 78 01 (deflate, 32 KB window, no dictionary; 0x7801 % 31 == 0),
// the blocks, then the Adler-32 of the raw bytes.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> out = {0x78, 0x01};
  size_t at = 0;
  do {
    const size_t size = raw.size() - at < 65535 ? raw.size() - at : 65535;
    const bool last = at + size == raw.size();
    const uint16_t len = static_cast<uint16_t>(size);
    const uint16_t nlen = static_cast<uint16_t>(~len);
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<uint8_t>(len));
    out.push_back(static_cast<uint8_t>(len >> 8));
    out.push_back(static_cast<uint8_t>(nlen));
    out.push_back(static_cast<uint8_t>(nlen >> 8));
    out.insert(out.end(), raw.begin() + at, raw.begin() + at + size);
    at += size;
  } while (at < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBig32(out, b << 16 | a);
  return out;
}

}  // namespace

uint32_t PngCrc32(const uint8_t* data, size_t size, uint32_t crc) {
  crc = ~crc;
  for (size_t i = 0; i < size; i++) {
    crc ^= data[i];
    for (int k = 0; k < 8; k++) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

bool WriteStoredPng(ByteSink& file, const PngImage& image, const std::vector<PngText>& texts) {
  if (image.width <= 0 || image.height <= 0 || (image.rgb == nullptr) == (image.grey16 == nullptr))
    return false;
  const bool grey = image.grey16 != nullptr;
  const size_t width = static_cast<size_t>(image.width);
  const size_t height = static_cast<size_t>(image.height);
  const size_t rowBytes = width * (grey ? 2 : 3);

  static const uint8_t kSignature[8] = {137, 'P', 'N', 'G', '\r', '\n', 26, '\n'};
  if (!file.Write(kSignature, sizeof kSignature)) return false;

  std::vector<uint8_t> header;
  PutBig32(header, static_cast<uint32_t>(width));
  PutBig32(header, static_cast<uint32_t>(height));
  // Bit depth, colour type (0 grey, 2 RGB), deflate, adaptive filters, no
  // interlace: what libpng is asked for.
  header.insert(header.end(), {static_cast<uint8_t>(grey ? 16 : 8),
                               static_cast<uint8_t>(grey ? 0 : 2), 0, 0, 0});
  if (!WriteChunk(file, "IHDR", header)) return false;

  for (const PngText& t : texts) {
    std::vector<uint8_t> text(t.keyword.begin(), t.keyword.end());
    text.push_back(0);
    text.insert(text.end(), t.text.begin(), t.text.end());
    if (!WriteChunk(file, "tEXt", text)) return false;
  }

  // Each row with filter type 0 (none), top row first; 16-bit samples most
  // significant byte first.
  std::vector<uint8_t> raw;
  raw.reserve(height * (rowBytes + 1));
  for (size_t r = height; r-- > 0;) {
    raw.push_back(0);
    if (grey) {
      for (size_t j = 0; j < width; j++) {
        const uint16_t v = image.grey16[r * width + j];
        raw.push_back(static_cast<uint8_t>(v >> 8));
        raw.push_back(static_cast<uint8_t>(v));
      }
    } else {
      const uint8_t* row = image.rgb + r * rowBytes;
      raw.insert(raw.end(), row, row + rowBytes);
    }
  }
  if (!WriteChunk(file, "IDAT", StoredZlib(raw))) return false;
  return WriteChunk(file, "IEND", {});
}
