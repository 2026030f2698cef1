#include "PixelMap.h"

#include <sstream>

namespace {

struct LegendEntry {
  char character;
  PixelValue value;
};

// Lower case for the dark half of the palette, upper case for the bright half; '.' is the
// light grey that toolbar pictures use as their background.
constexpr LegendEntry kLegend[] = {
    {'k', 0},
    {'r', 1},
    {'g', 2},
    {'o', 3},
    {'n', 4},
    {'p', 5},
    {'t', 6},
    {'.', 7},
    {'d', 8},
    {'R', 9},
    {'G', 10},
    {'Y', 11},
    {'B', 12},
    {'M', 13},
    {'C', 14},
    {'W', 15},
    {'-', kTransparent},
};

constexpr PaletteColor kStandardPalette[16] = {
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

constexpr int kMaxSide = 256;

bool IsSkipped(const std::string& line) { return line.empty() || line[0] == '#'; }

std::string LineError(int lineNumber, const std::string& what) {
  return "line " + std::to_string(lineNumber) + ": " + what;
}

// Reads "image <name> <width> <height>"; an empty result means success.
std::string ParseHeader(const std::string& line, PixelImage& image) {
  std::istringstream words(line);
  std::string keyword, rest;
  if (!(words >> keyword) || keyword != "image") return "expected 'image <name> <width> <height>'";
  if (!(words >> image.name >> image.width >> image.height) || (words >> rest)) {
    return "expected 'image <name> <width> <height>'";
  }
  if (image.width < 1 || image.height < 1 || image.width > kMaxSide || image.height > kMaxSide) {
    return "image size must be 1 to 256 pixels each way";
  }
  return {};
}

std::string ParseRow(const std::string& line, PixelImage& image) {
  if (static_cast<int>(line.size()) != image.width) {
    return "row has " + std::to_string(line.size()) + " pixels, image '" + image.name + "' is " +
           std::to_string(image.width) + " wide";
  }
  for (char character : line) {
    PixelValue value;
    if (!PixelFromCharacter(character, value)) return std::string("unknown colour '") + character + "'";
    image.pixels.push_back(value);
  }
  return {};
}

}  // namespace

const PaletteColor* StandardPalette() { return kStandardPalette; }

bool PixelFromCharacter(char character, PixelValue& value) {
  for (const LegendEntry& entry : kLegend) {
    if (entry.character != character) continue;
    value = entry.value;
    return true;
  }
  return false;
}

PixelMapResult ParsePixelMap(std::istream& text) {
  PixelMapResult result;
  std::string line;
  int lineNumber = 0;
  PixelImage* open = nullptr;  // the image whose rows are being read
  while (std::getline(text, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (IsSkipped(line)) continue;
    std::string error;
    if (open == nullptr) {
      result.images.emplace_back();
      open = &result.images.back();
      error = ParseHeader(line, *open);
    } else {
      error = ParseRow(line, *open);
    }
    if (!error.empty()) {
      result.error = LineError(lineNumber, error);
      return result;
    }
    if (static_cast<int>(open->pixels.size()) == open->width * open->height) open = nullptr;
  }
  if (open != nullptr) {
    result.error = "image '" + open->name + "' ends after " +
                   std::to_string(open->pixels.size() / open->width) + " of " + std::to_string(open->height) +
                   " rows";
  } else if (result.images.empty()) {
    result.error = "no image";
  }
  return result;
}
