#include "tabs/DragGeometry.h"

#include <cstdlib>

namespace {

constexpr int kPictureMargin = 2;
// The mark spans from 4 pixels left of the tab edge up to 3 pixels right of it.
constexpr int kMarkLeftOfEdge = 4;
constexpr int kMarkRightOfEdge = 3;
constexpr int kMarkWidth = 6;
constexpr int kMarkDepth = 3;

}  // namespace

bool DragDistanceReached(POINT start, POINT now, int dragWidth, int dragHeight) {
  return std::abs(start.x - now.x) >= dragWidth || std::abs(start.y - now.y) >= dragHeight;
}

RECT DragPictureRect(const RECT& tab) {
  return RECT{tab.left - kPictureMargin, tab.top - kPictureMargin, tab.right + kPictureMargin,
              tab.bottom + kPictureMargin};
}

RECT InsertMarkRect(const RECT& stripClient, const RECT& tab, int insertMark, int activePage) {
  int edge = insertMark <= activePage ? tab.left : tab.right;
  return RECT{edge - kMarkLeftOfEdge, stripClient.top, edge + kMarkRightOfEdge, stripClient.bottom};
}

std::array<Triangle, 2> InsertMarkTriangles(const RECT& mark) {
  int left = mark.left, top = mark.top, bottom = mark.bottom;
  Triangle down{POINT{left, top}, POINT{left + kMarkWidth, top}, POINT{left + kMarkDepth, top + kMarkDepth}};
  Triangle up{POINT{left, bottom - 1}, POINT{left + kMarkWidth, bottom - 1},
              POINT{left + kMarkDepth, bottom - 1 - kMarkDepth}};
  return {down, up};
}
