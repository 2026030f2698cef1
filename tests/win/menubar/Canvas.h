#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "menubar/MenuImages.h"
#include "win/DeviceContext.h"
#include "win/UniqueHandle.h"

// A 32-bit memory canvas filled with one colour, to draw on or copy the screen into and read
// the pixels back.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF background)
      : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info = TopDown32BitInfo(width, height);
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    selection_ = std::make_unique<SelectionScope>(dc_.get(), bitmap_.get());
    UniqueBrush brush(CreateSolidBrush(background));
    RECT all{0, 0, width, height};
    FillRect(dc_.get(), &all, brush.get());
  }

  int width() const { return width_; }
  int height() const { return height_; }
  HDC dc() const { return dc_.get(); }
  COLORREF At(int x, int y) const { return GetPixel(dc_.get(), x, y); }
  std::vector<COLORREF> Pixels() const {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) pixels.push_back(At(x, y));
    }
    return pixels;
  }

 private:
  int width_, height_;
  UniqueMemoryDC dc_;
  UniqueBitmap bitmap_;
  std::unique_ptr<SelectionScope> selection_;
};
