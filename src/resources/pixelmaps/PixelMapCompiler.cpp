// Build tool: turns a text pixel map into a .bmp strip or a .ico file.
// Usage: pixelmap-compiler bitmap <map.txt> <output> [cell width]
//        pixelmap-compiler icon <map.txt> <output> [size...]
// A cell width makes a strip of larger toolbar images; sizes make an icon with those sizes,
// both scaled from the map's art by whole factors.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "DibEncoder.h"
#include "PixelMap.h"
#include "PixelScaling.h"

namespace {

int Fail(const std::string& where, const std::string& what) {
  std::cerr << where << ": " << what << '\n';
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return Fail("pixelmap-compiler", "usage: pixelmap-compiler bitmap|icon <map> <output> [sizes]");
  const std::string kind = argv[1];
  if (kind != "bitmap" && kind != "icon") return Fail("pixelmap-compiler", "unknown kind '" + kind + "'");

  std::ifstream input(argv[2]);
  if (!input) return Fail(argv[2], "cannot read");
  PixelMapResult map = ParsePixelMap(input);
  if (!map.error.empty()) return Fail(argv[2], map.error);

  std::vector<int> sizes;
  for (int index = 4; index < argc; ++index) {
    const int size = std::atoi(argv[index]);
    if (size <= 0 || size > 256) return Fail("pixelmap-compiler", std::string("bad size '") + argv[index] + "'");
    sizes.push_back(size);
  }
  if (!sizes.empty() && kind == "bitmap") {
    PixelValue background = 0;
    PixelFromCharacter('.', background);
    map.images = ScaleStrip(map.images, sizes.front(), background);
  } else if (!sizes.empty()) {
    std::vector<PixelImage> icons;
    for (int size : sizes) icons.push_back(IconOfSize(map.images, size));
    map.images = icons;
  }

  EncodedFile file = kind == "bitmap" ? EncodeBitmapFile(map.images) : EncodeIconFile(map.images);
  if (!file.error.empty()) return Fail(argv[2], file.error);

  std::ofstream output(argv[3], std::ios::binary | std::ios::trunc);
  output.write(reinterpret_cast<const char*>(file.bytes.data()),
               static_cast<std::streamsize>(file.bytes.size()));
  output.close();
  if (!output) return Fail(argv[3], "cannot write");
  return 0;
}
