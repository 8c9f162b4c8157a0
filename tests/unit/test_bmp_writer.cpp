#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "app/export_formats.h"
#include "render/colour_scale.h"
#include "app/app_state.h"
#include "export/bmp_writer.h"
#include "export_helpers.h"
#include "gtest/gtest.h"

namespace {

uint32_t Le32(const std::string& bytes, size_t at) {
  return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) |
         static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
}

uint16_t Le16(const std::string& bytes, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) |
                               static_cast<uint8_t>(bytes[at + 1]) << 8);
}

// An image whose every byte tells where it came from: red = x, green = y,
// blue = 200 + x + y (mod 256).
std::vector<uint8_t> Pattern(int width, int height) {
  std::vector<uint8_t> rgb(3 * static_cast<size_t>(width) * height);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      uint8_t* p = &rgb[3 * (static_cast<size_t>(y) * width + x)];
      p[0] = static_cast<uint8_t>(x);
      p[1] = static_cast<uint8_t>(y);
      p[2] = static_cast<uint8_t>(200 + x + y);
    }
  return rgb;
}

std::string BmpBytes(int width, int height) {
  StringSink sink;
  const std::vector<uint8_t> rgb = Pattern(width, height);
  EXPECT_TRUE(WriteBmpImage(sink, rgb.data(), width, height));
  return sink.text;
}

}  // namespace

TEST(BmpLayout, RowLengthPaddingAndFileSize) {
  struct Case {
    int width, height;
    uint32_t row, pad, size;
  } cases[] = {{100, 7, 300, 0, 54 + 7 * 300},   {101, 7, 304, 1, 54 + 7 * 304},
               {102, 7, 308, 2, 54 + 7 * 308},   {103, 7, 312, 3, 54 + 7 * 312},
               {200, 200, 600, 0, 120054},       {512, 512, 1536, 0, 786486},
               {1, 1, 4, 1, 58}};
  for (const Case& c : cases) {
    BmpLayout layout;
    ASSERT_TRUE(ComputeBmpLayout(c.width, c.height, &layout)) << c.width;
    EXPECT_EQ(layout.rowLength, c.row) << c.width;
    EXPECT_EQ(layout.rowPad, c.pad) << c.width;
    EXPECT_EQ(layout.fileSize, c.size) << c.width;
  }
}

TEST(BmpLayout, EmptyAndOversizedImagesAreRefusedWithoutWrapping) {
  BmpLayout layout;
  EXPECT_FALSE(ComputeBmpLayout(0, 200, &layout));
  EXPECT_FALSE(ComputeBmpLayout(200, 0, &layout));
  EXPECT_FALSE(ComputeBmpLayout(-5, 200, &layout));
  EXPECT_FALSE(ComputeBmpLayout(INT_MAX, 1, &layout));      // 3W alone exceeds 32 bits
  EXPECT_FALSE(ComputeBmpLayout(40000, 40000, &layout));    // 4.8 GB
  EXPECT_FALSE(ComputeBmpLayout(INT_MAX, INT_MAX, &layout));
  // The tallest 4-pixel-wide image whose file still fits the 32-bit size
  // field, and one row more.
  EXPECT_TRUE(ComputeBmpLayout(4, 357913936, &layout));
  EXPECT_EQ(layout.fileSize, 4294967286u);
  EXPECT_FALSE(ComputeBmpLayout(4, 357913937, &layout));
}

TEST(BmpImage, HeaderFieldsLittleEndianInTableOrder) {
  const std::string bytes = BmpBytes(101, 3);
  const uint8_t expected[54] = {
      'B', 'M',                      // type 0x4D42
      0xC6, 0x03, 0, 0,              // file size 54 + 3 * 304 = 966 = 0x3C6
      0, 0, 0, 0,                    // reserved 1 and 2
      54, 0, 0, 0,                   // pixel data offset
      40, 0, 0, 0,                   // information header size
      101, 0, 0, 0,                  // width
      3, 0, 0, 0,                    // height, positive: bottom-up
      1, 0,                          // planes
      24, 0,                         // bits per pixel
      0, 0, 0, 0,                    // no compression
      0, 0, 0, 0,                    // image size
      100, 0, 0, 0, 100, 0, 0, 0,    // 100 pixels per metre each way
      0, 0, 0, 0, 0, 0, 0, 0};       // colours used, important colours
  ASSERT_GE(bytes.size(), 54u);
  EXPECT_EQ(bytes.substr(0, 54), std::string(reinterpret_cast<const char*>(expected), 54));

  // Multi-byte fields spread over all four bytes.
  const std::string big = BmpBytes(300, 300);
  EXPECT_EQ(Le32(big, 2), 54u + 300u * 900u);
  EXPECT_EQ(Le32(big, 18), 300u);
  EXPECT_EQ(Le16(big, 28), 24u);
}

TEST(BmpImage, SizeFieldIsTheRealLengthAndRowsArePaddedWithZeros) {
  for (int width : {100, 101, 102, 103, 200}) {
    const int height = width == 200 ? 200 : 5;
    const std::string bytes = BmpBytes(width, height);
    const size_t row = (3 * static_cast<size_t>(width) + 3) / 4 * 4;
    EXPECT_EQ(bytes.size(), 54 + row * height) << width;
    EXPECT_EQ(Le32(bytes, 2), bytes.size()) << width;
    for (int y = 0; y < height; y++)
      for (size_t k = 3 * static_cast<size_t>(width); k < row; k++)
        ASSERT_EQ(bytes[54 + y * row + k], 0) << "width " << width << " row " << y;
  }
  EXPECT_EQ(BmpBytes(200, 200).size(), 120054u);
}

TEST(BmpImage, PixelsBlueGreenRedBottomRowFirst) {
  const std::string bytes = BmpBytes(3, 2);  // rows of 9 bytes padded to 12
  auto at = [&](size_t i) { return static_cast<int>(static_cast<uint8_t>(bytes[i])); };
  // The first pixel after the headers is the buffer's first: the bottom-left.
  EXPECT_EQ(at(54), 200);  // blue
  EXPECT_EQ(at(55), 0);    // green = y
  EXPECT_EQ(at(56), 0);    // red = x
  // Left to right along the row.
  EXPECT_EQ(at(57), 201);
  EXPECT_EQ(at(59), 1);
  EXPECT_EQ(at(62), 2);
  // The second stored row is the one above.
  EXPECT_EQ(at(66), 201);
  EXPECT_EQ(at(67), 1);
  EXPECT_EQ(at(68), 0);
  EXPECT_EQ(bytes.size(), 54u + 2 * 12);
}

TEST(BmpImage, AFailingSinkStopsTheImage) {
  const std::vector<uint8_t> rgb = Pattern(50, 50);
  for (size_t limit : {0, 1, 30, 54, 500, 7000}) {
    StringSink memory;
    FailAfterSink sink(memory, limit);
    EXPECT_FALSE(WriteBmpImage(sink, rgb.data(), 50, 50)) << limit;
    EXPECT_EQ(memory.text.size(), limit);
  }
}

TEST(ExportFileName, NamedFromTheSettings) {
  EXPECT_EQ(ExportFileName(ExportFormat::kBmp, 1, 0, kRainbow), "image002NR.bmp");
  EXPECT_EQ(ExportFileName(ExportFormat::kBmp, 7, 1, kFire), "image008TY.bmp");
  EXPECT_EQ(ExportFileName(ExportFormat::kBmp, 0, 0, kGreyscale), "image001NG.bmp");
  EXPECT_EQ(ExportFileName(ExportFormat::kPng, 3, 1, kClouds), "image004TS.png");
  // The other formats carry no colour scale.
  EXPECT_EQ(ExportFileName(ExportFormat::kHeightmap, 2, 1, kFire), "height003T.png");
  EXPECT_EQ(ExportFileName(ExportFormat::kStl, 2, 0, kRainbow), "noise003N.stl");
  EXPECT_EQ(ExportFileName(ExportFormat::kStlBinary, 7, 1, kClouds), "noise008T.bin.stl");
}

TEST(CheckBmpWindowSize, AnEmptyOrHugeWindowGetsAMessageAndItsReason) {
  MessageCapture messages;
  EXPECT_TRUE(CheckBmpWindowSize(200, 200, messages.file()));
  EXPECT_EQ(messages.Text(), "");
  EXPECT_FALSE(CheckBmpWindowSize(0, 512, messages.file()));
  EXPECT_FALSE(CheckBmpWindowSize(512, 0, messages.file()));
  EXPECT_FALSE(CheckBmpWindowSize(50000, 50000, messages.file()));
  EXPECT_EQ(messages.Text(),
            "WriteBmp() cannot save a window of 0 x 512 pixels!\n"
            "  the window is 0 x 512 pixels\n"
            "WriteBmp() cannot save a window of 512 x 0 pixels!\n"
            "  the window is 512 x 0 pixels\n"
            "WriteBmp() cannot save a window of 50000 x 50000 pixels!\n"
            "  the image would be over 4 GB, more than a BMP file can hold\n");
}

// ---------------------------------------------------------------------------
// Saving to a file
// ---------------------------------------------------------------------------

TEST(SaveBmp, WritesTheImageReplacingAnEarlierFile) {
  ScratchDir dir;
  const std::string name = dir / "image001NG.bmp";
  WriteFile(name, "an earlier snapshot");
  const std::vector<uint8_t> rgb = Pattern(101, 40);
  MessageCapture messages;
  EXPECT_TRUE(SaveBmp(name, rgb.data(), 101, 40, messages.file()));
  EXPECT_EQ(messages.Text(), "Image file '" + name + "' created.\n");
  EXPECT_EQ(ReadFile(name), BmpBytes(101, 40));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"image001NG.bmp"});
}

TEST(SaveBmp, AFailedWriteIsReportedAndLeavesNoFile) {
  const std::vector<uint8_t> rgb = Pattern(200, 200);
  for (size_t limit : {size_t{0}, size_t{10}, size_t{54}, size_t{70000}, size_t{120053}}) {
    ScratchDir dir;
    const std::string name = dir / "image001NG.bmp";
    MessageCapture messages;
    const FileSizeLimit full(limit);
    EXPECT_FALSE(SaveBmp(name, rgb.data(), 200, 200, messages.file()));
    EXPECT_EQ(messages.Text(), "Cannot write BMP file '" + name + "'\n  File too large\n")
        << limit;
    EXPECT_TRUE(dir.Entries().empty()) << limit;
  }
}

TEST(SaveBmp, AFailedWriteKeepsTheEarlierFile) {
  ScratchDir dir;
  const std::string name = dir / "image003TR.bmp";
  const std::string earlier = BmpBytes(20, 20);
  WriteFile(name, earlier);
  const std::vector<uint8_t> rgb = Pattern(200, 200);
  MessageCapture messages;
  {
    const FileSizeLimit full(4096);
    EXPECT_FALSE(SaveBmp(name, rgb.data(), 200, 200, messages.file()));
  }
  EXPECT_EQ(Occurrences(messages.Text(), "created"), 0);
  EXPECT_EQ(ReadFile(name), earlier);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"image003TR.bmp"});
}

TEST(SaveBmp, AFolderAtTheNameCannotBeCreated) {
  ScratchDir dir;
  const std::string name = dir / "image001NG.bmp";
  ASSERT_EQ(mkdir(name.c_str(), 0755), 0);
  WriteFile(name + "/inside", "kept");
  const std::vector<uint8_t> rgb = Pattern(10, 10);
  MessageCapture messages;
  EXPECT_FALSE(SaveBmp(name, rgb.data(), 10, 10, messages.file()));
  EXPECT_EQ(messages.Text(), "Cannot create BMP file '" + name + "'\n  Is a directory\n");
  EXPECT_EQ(ReadFile(name + "/inside"), "kept");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"image001NG.bmp"});
}

TEST(SaveBmp, AMissingFolderCannotBeCreated) {
  ScratchDir dir;
  const std::string name = dir / "gone/image001NG.bmp";
  const std::vector<uint8_t> rgb = Pattern(10, 10);
  MessageCapture messages;
  EXPECT_FALSE(SaveBmp(name, rgb.data(), 10, 10, messages.file()));
  EXPECT_EQ(messages.Text(),
            "Cannot create BMP file '" + name + "'\n  No such file or directory\n");
}
