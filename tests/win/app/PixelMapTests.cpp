#include <gtest/gtest.h>

#include <sstream>

#include "DibEncoder.h"
#include "PixelMap.h"

// The build turns the text pictures into the toolbar bitmap and the icon with this code; a
// mistake in a map must stop the build with a message that says where.

namespace {

PixelMapResult Parse(const std::string& text) {
  std::istringstream stream(text);
  return ParsePixelMap(stream);
}

TEST(PixelMaps, ReadsNamedImagesWithTheirLegendValues) {
  PixelMapResult map = Parse(
      "# two pictures\n"
      "image first 3 2\n"
      "k.W\n"
      "-BY\n"
      "\n"
      "image second 1 1\r\n"
      "R\r\n");
  ASSERT_EQ(map.error, "");
  ASSERT_EQ(map.images.size(), 2u);
  const PixelImage& first = map.images[0];
  EXPECT_EQ(first.name, "first");
  EXPECT_EQ(first.width, 3);
  EXPECT_EQ(first.height, 2);
  EXPECT_EQ(first.At(0, 0), 0);   // black
  EXPECT_EQ(first.At(1, 0), 7);   // light grey
  EXPECT_EQ(first.At(2, 0), 15);  // white
  EXPECT_EQ(first.At(0, 1), kTransparent);
  EXPECT_EQ(first.At(1, 1), 12);         // blue
  EXPECT_EQ(first.At(2, 1), 11);         // yellow
  EXPECT_EQ(map.images[1].At(0, 0), 9);  // red
  EXPECT_EQ(StandardPalette()[12].blue, 255);
  EXPECT_EQ(StandardPalette()[7].red, 192);
}

TEST(PixelMaps, MistakesAreReportedWithTheirLine) {
  EXPECT_EQ(Parse("image a 2 1\nkx\n").error, "line 2: unknown colour 'x'");
  EXPECT_EQ(Parse("image a 2 2\nkk\nkkk\n").error, "line 3: row has 3 pixels, image 'a' is 2 wide");
  EXPECT_EQ(Parse("image a 2 3\nkk\nkk\n").error, "image 'a' ends after 2 of 3 rows");
  EXPECT_EQ(Parse("picture a 2 2\n").error, "line 1: expected 'image <name> <width> <height>'");
  EXPECT_EQ(Parse("image a 2\n").error, "line 1: expected 'image <name> <width> <height>'");
  EXPECT_EQ(Parse("image a 0 4\n").error, "line 1: image size must be 1 to 256 pixels each way");
  EXPECT_EQ(Parse("# nothing\n").error, "no image");
}

TEST(PixelMaps, BitmapStripNeedsEqualHeightsAndNoTransparency) {
  EXPECT_EQ(EncodeBitmapFile(Parse("image a 1 1\nk\nimage b 1 2\nk\nk\n").images).error,
            "image 'b' differs in height");
  EXPECT_EQ(EncodeBitmapFile(Parse("image a 2 1\nk-\n").images).error, "image 'a' has transparent pixels");

  // Three pixels wide: each row is padded to a whole 32-bit word, bottom row first.
  EncodedFile file = EncodeBitmapFile(Parse("image a 2 2\nkW\nRB\nimage b 1 2\nY\n.\n").images);
  ASSERT_EQ(file.error, "");
  ASSERT_EQ(file.bytes.size(), 14u + 40u + 64u + 2u * 4u);
  EXPECT_EQ(file.bytes[0], 'B');
  EXPECT_EQ(file.bytes[18], 3);  // width
  EXPECT_EQ(file.bytes[22], 2);  // height
  EXPECT_EQ(file.bytes[28], 4);  // bits per pixel
  const size_t bits = 14 + 40 + 64;
  EXPECT_EQ(file.bytes[bits + 0], 0x9C);  // bottom row: red, blue
  EXPECT_EQ(file.bytes[bits + 1], 0x70);  // light grey, padding
  EXPECT_EQ(file.bytes[bits + 4], 0x0F);  // top row: black, white
  EXPECT_EQ(file.bytes[bits + 5], 0xB0);  // yellow, padding
}

}  // namespace
