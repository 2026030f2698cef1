#include "grid/SpeakerMark.h"

#include <algorithm>
#include <iterator>

#include "win/DeviceContext.h"

namespace {

// Below this the picture is a blot and the number beside it reads better alone.
constexpr int kLeastSize = 7;

}  // namespace

int DrawSpeakerMark(HDC dc, const RECT& cell, COLORREF colour) {
  const int size = std::min<int>(cell.bottom - cell.top - 4, 3 * (cell.bottom - cell.top) / 4);
  if (size < kLeastSize || cell.right - cell.left < 2 * size) return 0;
  const int width = size + 2;
  const int left = cell.right - width - 3;
  const int top = cell.top + (cell.bottom - cell.top - size) / 2;
  const int middle = top + size / 2;
  const int quarter = std::max(size / 4, 1);

  const COLORREF oldPen = SetDCPenColor(dc, colour);
  const COLORREF oldBrush = SetDCBrushColor(dc, colour);
  SelectionScope pen(dc, static_cast<HPEN>(GetStockObject(DC_PEN)));
  SelectionScope brush(dc, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  // The box and the cone: one polygon, filled.
  const int neck = left + quarter + 1;
  const int mouth = left + size / 2 + 1;
  const POINT speaker[] = {{left, middle - quarter / 2 - 1}, {neck, middle - quarter / 2 - 1}, {mouth, top},
                           {mouth, top + size},              {neck, middle + quarter / 2 + 1}, {left, middle + quarter / 2 + 1}};
  Polygon(dc, speaker, static_cast<int>(std::size(speaker)));
  // Two waves: arcs around a point just inside the cone's mouth, as thick as the scale asks.
  const int centre = mouth - 2;
  const int thickness = std::max(size / 10, 1);
  for (const int radius : {size / 4 + 1, size / 2 + 1}) {
    for (int step = 0; step < thickness; ++step) {
      const int r = radius - step;
      Arc(dc, centre - r, middle - r, centre + r + 1, middle + r + 1, centre + r, middle + r, centre + r, middle - r);
    }
  }
  SetDCPenColor(dc, oldPen);
  SetDCBrushColor(dc, oldBrush);
  return width + 3;
}
