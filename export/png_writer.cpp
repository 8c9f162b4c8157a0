#include "export/png_writer.h"

#include <png.h>

#include <csetjmp>


namespace {

// libpng reports errors by longjmp back to WritePngRows; nothing between
// that setjmp and these callbacks owns anything with a destructor.
void WriteToSink(png_structp png, png_bytep data, png_size_t size) {
  ByteSink* sink = static_cast<ByteSink*>(png_get_io_ptr(png));
  if (!sink->Write(data, size)) png_error(png, "write failed");
}

void NoFlush(png_structp) {}

// libpng's own messages would go to standard error; a failure is reported
// once, by the caller, with its reason.
void Quiet(png_structp, png_const_charp) {}

void Fail(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// The encoding proper, kept free of objects with destructors because a
// libpng error leaves it by longjmp. `rows` are top row first.
bool WritePngRows(ByteSink& file, const PngImage& image, png_bytep* rows, png_text* texts,
                  int textCount) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, Quiet);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &file, WriteToSink, NoFlush);
  const bool grey = image.grey16 != nullptr;
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
               static_cast<png_uint_32>(image.height), grey ? 16 : 8,
               grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_text(png, info, texts, textCount);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePngImage(ByteSink& file, const PngImage& image, const std::vector<PngText>& texts) {
  if (image.width <= 0 || image.height <= 0 || (image.rgb == nullptr) == (image.grey16 == nullptr))
    return false;
  const size_t width = static_cast<size_t>(image.width);
  const size_t height = static_cast<size_t>(image.height);

  // 16-bit samples are stored most significant byte first.
  std::vector<uint8_t> bigEndian;
  const uint8_t* pixels = image.rgb;
  size_t rowBytes = 3 * width;
  if (image.grey16 != nullptr) {
    bigEndian.resize(2 * width * height);
    for (size_t k = 0; k < width * height; k++) {
      bigEndian[2 * k] = static_cast<uint8_t>(image.grey16[k] >> 8);
      bigEndian[2 * k + 1] = static_cast<uint8_t>(image.grey16[k] & 0xFF);
    }
    pixels = bigEndian.data();
    rowBytes = 2 * width;
  }
  std::vector<png_bytep> rows(height);
  for (size_t y = 0; y < height; y++)
    rows[y] = const_cast<png_bytep>(pixels + (height - 1 - y) * rowBytes);

  std::vector<png_text> chunks(texts.size());
  for (size_t k = 0; k < texts.size(); k++) {
    chunks[k] = png_text{};
    chunks[k].compression = PNG_TEXT_COMPRESSION_NONE;
    chunks[k].key = const_cast<png_charp>(texts[k].keyword.c_str());
    chunks[k].text = const_cast<png_charp>(texts[k].text.c_str());
    chunks[k].text_length = texts[k].text.size();
  }
  return WritePngRows(file, image, rows.data(), chunks.data(), static_cast<int>(chunks.size()));
}
