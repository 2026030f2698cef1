#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PixelMap.h"

// Turns pixel maps into the two file formats the resource compiler takes, both with 4 bits
// per pixel and the standard 16-colour palette.

struct EncodedFile {
  std::vector<std::uint8_t> bytes;
  std::string error;  // empty on success
};

// A .bmp file holding the images side by side, in order (a toolbar strip). All images must
// have the same height and no transparent pixel.
EncodedFile EncodeBitmapFile(const std::vector<PixelImage>& images);

// A .ico file with one entry per image; transparent pixels are set in the AND mask and
// black in the colour bits, as the icon format expects.
EncodedFile EncodeIconFile(const std::vector<PixelImage>& images);
