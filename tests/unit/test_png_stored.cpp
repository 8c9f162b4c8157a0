// The browser's PNG encoder against libpng's reader: the same pixels and
// text chunks, right checksums (libpng refuses a wrong chunk CRC or Adler-32),
// and the same decoded image as the desktop's libpng writer.
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <string>
#include <vector>

#include "export/memory_sink.h"
#include "export/png_stored.h"
#include "export/png_writer.h"
#include "gtest/gtest.h"

namespace {

struct Decoded {
  int width = 0, height = 0, depth = 0, colourType = 0;
  std::vector<uint8_t> rows;  // top row first, samples as stored
  std::vector<PngText> texts;
  // Where libpng writes each row. Kept here, not in a local of Decode: a
  // refusal jumps out past that local's destructor, and a local changed
  // after setjmp is not to be trusted after the jump anyway.
  std::vector<png_bytep> rowStarts;
};

struct Reader {
  const std::vector<uint8_t>* bytes;
  size_t at;
};

void ReadBytes(png_structp png, png_bytep out, png_size_t size) {
  Reader* r = static_cast<Reader*>(png_get_io_ptr(png));
  if (r->at + size > r->bytes->size()) png_error(png, "past the end");
  std::copy(r->bytes->begin() + r->at, r->bytes->begin() + r->at + size, out);
  r->at += size;
}

// The refusal the corrupted-file case expects is the verdict, not news.
void Refuse(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void Quiet(png_structp, png_const_charp) {}

// False when libpng refuses the file (a bad CRC or Adler-32 among others).
bool Decode(const std::vector<uint8_t>& bytes, Decoded* d) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Refuse, Quiet);
  png_infop info = png_create_info_struct(png);
  png_infop end = png_create_info_struct(png);
  Reader reader{&bytes, 0};
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, &end);
    return false;
  }
  png_set_read_fn(png, &reader, ReadBytes);
  png_read_info(png, info);
  d->width = static_cast<int>(png_get_image_width(png, info));
  d->height = static_cast<int>(png_get_image_height(png, info));
  d->depth = png_get_bit_depth(png, info);
  d->colourType = png_get_color_type(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  d->rows.assign(rowBytes * d->height, 0);
  d->rowStarts.resize(d->height);
  for (int y = 0; y < d->height; y++) d->rowStarts[y] = d->rows.data() + y * rowBytes;
  png_read_image(png, d->rowStarts.data());
  png_read_end(png, end);
  png_textp texts = nullptr;
  const int count = png_get_text(png, info, &texts, nullptr);
  for (int k = 0; k < count; k++) d->texts.push_back({texts[k].key, texts[k].text});
  png_destroy_read_struct(&png, &info, &end);
  return true;
}

const std::vector<PngText> kTexts = {{"Software", "noisedemo 1.1.0"},
                                     {"Comment", "noisedemo --seed=7 --octaves=6"}};

std::vector<uint8_t> Stored(const PngImage& image) {
  MemorySink sink;
  EXPECT_TRUE(WriteStoredPng(sink, image, kTexts));
  return sink.bytes();
}

std::vector<uint8_t> ByLibpng(const PngImage& image) {
  MemorySink sink;
  EXPECT_TRUE(WritePngImage(sink, image, kTexts));
  return sink.bytes();
}

}  // namespace

TEST(PngStored, CrcOfTheStandardCheckString) {
  const std::string check = "123456789";
  EXPECT_EQ(PngCrc32(reinterpret_cast<const uint8_t*>(check.data()), check.size()), 0xCBF43926u);
}

// Both sample kinds, at sizes whose image data spans several stored blocks
// (512 x 512 RGB: 787,456 bytes, 13 blocks) or ends inside its first one.
TEST(PngStored, DecodesAsTheLibpngFileDoes) {
  for (const int size : {1, 7, 512}) {
    const size_t n = static_cast<size_t>(size) * size;
    std::vector<uint8_t> rgb(3 * n);
    std::vector<uint16_t> grey(n);
    for (size_t k = 0; k < 3 * n; k++) rgb[k] = static_cast<uint8_t>(k * 2654435761u >> 13);
    for (size_t k = 0; k < n; k++) grey[k] = static_cast<uint16_t>(k * 40503u + (k >> 9));
    for (const bool isGrey : {false, true}) {
      PngImage image;
      image.width = image.height = size;
      if (isGrey) image.grey16 = grey.data(); else image.rgb = rgb.data();
      Decoded ours, theirs;
      ASSERT_TRUE(Decode(Stored(image), &ours)) << size << " " << isGrey;
      ASSERT_TRUE(Decode(ByLibpng(image), &theirs));
      EXPECT_EQ(ours.width, size);
      EXPECT_EQ(ours.depth, isGrey ? 16 : 8);
      EXPECT_EQ(ours.colourType, isGrey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB);
      EXPECT_EQ(ours.depth, theirs.depth);
      EXPECT_EQ(ours.colourType, theirs.colourType);
      EXPECT_TRUE(ours.rows == theirs.rows) << size << " " << isGrey;
      // Row 0 of the image is the bottom row: the file's last.
      const size_t rowBytes = ours.rows.size() / size;
      const uint8_t* last = ours.rows.data() + (size - 1) * rowBytes;
      if (isGrey) {
        EXPECT_EQ(last[0] << 8 | last[1], grey[0]);
      } else {
        EXPECT_EQ(last[0], rgb[0]);
      }
      ASSERT_EQ(ours.texts.size(), kTexts.size());
      for (size_t k = 0; k < kTexts.size(); k++) {
        EXPECT_EQ(ours.texts[k].keyword, kTexts[k].keyword);
        EXPECT_EQ(ours.texts[k].text, kTexts[k].text);
      }
    }
  }
}

// Any changed byte in the image data breaks a checksum libpng checks (the
// chunk's CRC-32, or the stream's Adler-32 once the CRC is made right).
TEST(PngStored, ACorruptedByteIsRefused) {
  std::vector<uint8_t> rgb(3 * 64 * 64, 90);
  PngImage image;
  image.width = image.height = 64;
  image.rgb = rgb.data();
  std::vector<uint8_t> bytes = Stored(image);
  bytes[bytes.size() - 100] ^= 1;  // inside IDAT's pixels: IEND is the last 12 bytes
  Decoded d;
  EXPECT_FALSE(Decode(bytes, &d));
}

TEST(PngStored, NoPixelsNoFile) {
  MemorySink sink;
  PngImage image;
  image.width = image.height = 4;
  EXPECT_FALSE(WriteStoredPng(sink, image, kTexts));  // neither sample kind
  std::vector<uint8_t> rgb(48);
  image.rgb = rgb.data();
  image.width = 0;
  EXPECT_FALSE(WriteStoredPng(sink, image, kTexts));
}
