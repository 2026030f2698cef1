#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

// Pictures kept as text so that they can be reviewed and edited in any editor: one character
// per pixel, each naming a colour of the standard 16-colour palette or transparency.
//
//   # comment
//   image <name> <width> <height>
//   <height rows of exactly <width> characters>
//
// This file is portable C++ on purpose: the build runs it on the build machine to turn the
// maps into .bmp and .ico files, and the Windows tests read the same maps to check what the
// program's resources contain.

// A palette index 0..15, or kTransparent.
using PixelValue = std::uint8_t;
constexpr PixelValue kTransparent = 0xFF;

struct PaletteColor {
  std::uint8_t red, green, blue;
};

// The 16 colours of the standard VGA palette, in index order.
const PaletteColor* StandardPalette();

// The pixel value a map character stands for; false for a character that is not in the legend.
bool PixelFromCharacter(char character, PixelValue& value);

struct PixelImage {
  std::string name;
  int width = 0;
  int height = 0;
  std::vector<PixelValue> pixels;  // row by row, top row first

  PixelValue At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

struct PixelMapResult {
  std::vector<PixelImage> images;
  std::string error;  // "line N: what is wrong"; empty on success
};

PixelMapResult ParsePixelMap(std::istream& text);
