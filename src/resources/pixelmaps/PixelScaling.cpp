#include "PixelScaling.h"

#include <algorithm>
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

std::vector<PixelImage> ScaleStrip(const std::vector<PixelImage>& images, int cellWidth, PixelValue background) {
  std::vector<PixelImage> strip;
  for (const PixelImage& image : images) {
    const int factor = std::max(1, cellWidth / image.width);
    const int cellHeight = image.height * cellWidth / image.width;
    strip.push_back(CentreIn(ScaleUp(image, factor), cellWidth, cellHeight, background));
  }
  return strip;
}

PixelImage IconOfSize(const std::vector<PixelImage>& art, int size) {
  // Art larger than the icon cannot be used; the smallest art then stands in, cut to the size.
  const PixelImage* best = &*std::min_element(art.begin(), art.end(),
                                              [](const PixelImage& a, const PixelImage& b) { return a.width < b.width; });
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
