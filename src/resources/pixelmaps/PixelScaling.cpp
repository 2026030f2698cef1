#include "PixelScaling.h"

#include <algorithm>
#include <cstdlib>
#include <string>

PixelImage ScaleUp(const PixelImage& image, int factor) {
  PixelImage scaled{image.name, image.width * factor, image.height * factor, {}};
  scaled.pixels.reserve(static_cast<size_t>(scaled.width) * scaled.height);
  for (int y = 0; y < scaled.height; ++y) {
    for (int x = 0; x < scaled.width; ++x) scaled.pixels.push_back(image.At(x / factor, y / factor));
  }
  return scaled;
}

PixelImage CentreIn(const PixelImage& image, int width, int height, PixelValue background) {
  PixelImage cell{image.name, width, height,
                  std::vector<PixelValue>(static_cast<size_t>(width) * height, background)};
  const int left = (width - image.width) / 2, top = (height - image.height) / 2;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const int cx = left + x, cy = top + y;
      if (cx >= 0 && cx < width && cy >= 0 && cy < height)
        cell.pixels[static_cast<size_t>(cy) * width + cx] = image.At(x, y);
    }
  }
  return cell;
}

namespace {

// How often each of `count` lines is repeated to make `target` lines: a whole factor for all,
// and once more for the lines that the picture can best spare being thicker. A line whose drawn
// pixels match those on both sides of it (the inside of a fill) widens the fill; a one-pixel
// outline doubled in one place and not in another would look uneven, so outlines and the
// empty margins come last. Among equals, lines far from those already chosen go first.
std::vector<int> LineRepeats(int count, int target, const std::vector<int>& inside) {
  std::vector<int> repeats(static_cast<size_t>(count), std::max(1, target / count));
  int extra = target >= count ? target % count : 0;
  std::vector<bool> chosen(static_cast<size_t>(count), false);
  for (; extra > 0; --extra) {
    int best = -1;
    long bestKey = -1;
    for (int line = 0; line < count; ++line) {
      if (chosen[static_cast<size_t>(line)]) continue;
      int distance = count;
      for (int other = 0; other < count; ++other) {
        if (chosen[static_cast<size_t>(other)]) distance = std::min(distance, std::abs(other - line));
      }
      const long key = static_cast<long>(inside[static_cast<size_t>(line)]) * 1000 + distance;
      if (key > bestKey) {
        best = line;
        bestKey = key;
      }
    }
    chosen[static_cast<size_t>(best)] = true;
    ++repeats[static_cast<size_t>(best)];
  }
  return repeats;
}

// For each column (or row, `columns` false) of `image`, how many of its drawn pixels match their
// neighbours on both sides.
std::vector<int> InsidePixels(const PixelImage& image, bool columns, PixelValue background) {
  const int count = columns ? image.width : image.height;
  const int length = columns ? image.height : image.width;
  const auto at = [&](int line, int along) {
    return columns ? image.At(line, along) : image.At(along, line);
  };
  std::vector<int> inside(static_cast<size_t>(count), 0);
  for (int line = 1; line + 1 < count; ++line) {
    for (int along = 0; along < length; ++along) {
      const PixelValue value = at(line, along);
      if (value != background && value == at(line - 1, along) && value == at(line + 1, along))
        ++inside[static_cast<size_t>(line)];
    }
  }
  return inside;
}

}  // namespace

PixelImage ScaleTo(const PixelImage& image, int width, int height, PixelValue background) {
  const std::vector<int> across = LineRepeats(image.width, width, InsidePixels(image, true, background));
  const std::vector<int> down = LineRepeats(image.height, height, InsidePixels(image, false, background));
  PixelImage scaled{image.name, 0, 0, {}};
  for (int repeat : across) scaled.width += repeat;
  for (int repeat : down) scaled.height += repeat;
  for (int y = 0; y < image.height; ++y) {
    for (int row = 0; row < down[static_cast<size_t>(y)]; ++row) {
      for (int x = 0; x < image.width; ++x) {
        for (int column = 0; column < across[static_cast<size_t>(x)]; ++column)
          scaled.pixels.push_back(image.At(x, y));
      }
    }
  }
  return scaled;
}

std::vector<PixelImage> ScaleStrip(const std::vector<PixelImage>& images, int cellWidth,
                                   PixelValue background) {
  std::vector<PixelImage> strip;
  for (const PixelImage& image : images) {
    const int cellHeight = image.height * cellWidth / image.width;
    // A whole factor keeps every line as thick as the next; between them the picture still
    // fills its cell, its fills widened rather than its outlines.
    const PixelImage scaled = cellWidth % image.width == 0
                                  ? ScaleUp(image, cellWidth / image.width)
                                  : ScaleTo(image, cellWidth, cellHeight, background);
    strip.push_back(CentreIn(scaled, cellWidth, cellHeight, background));
  }
  return strip;
}

PixelImage IconOfSize(const std::vector<PixelImage>& art, int size) {
  // Art larger than the icon cannot be used; the smallest art then stands in, cut to the size.
  const PixelImage* best = &*std::min_element(
      art.begin(), art.end(), [](const PixelImage& a, const PixelImage& b) { return a.width < b.width; });
  int bestSide = 0;
  for (const PixelImage& image : art) {
    if (image.width > size) continue;
    const int side = image.width * (size / image.width);
    if (side > bestSide || (side == bestSide && image.width > best->width)) {
      best = &image;
      bestSide = side;
    }
  }
  PixelImage icon = CentreIn(ScaleUp(*best, std::max(1, size / best->width)), size, size, kTransparent);
  icon.name = std::to_string(size);
  return icon;
}
