#include "commands/CenterOver.h"

namespace {

LONG ClampStart(LONG start, LONG extent, LONG areaStart, LONG areaEnd) {
  if (start + extent > areaEnd) start = areaEnd - extent;
  if (start < areaStart) start = areaStart;
  return start;
}

bool HasChildStyle(HWND window) { return (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0; }

struct Placement {
  RECT centre;
  RECT area;
};

Placement ChildPlacement(HWND window, HWND over) {
  HWND parent = GetParent(window);
  Placement placement{};
  GetClientRect(parent, &placement.area);
  placement.centre = placement.area;
  if (over != nullptr) {
    GetClientRect(over, &placement.centre);
    MapWindowPoints(over, parent, reinterpret_cast<POINT*>(&placement.centre), 2);
  }
  return placement;
}

Placement TopLevelPlacement(HWND over) {
  Placement placement{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &placement.area, 0);
  if (over != nullptr && (!IsWindowVisible(over) || IsIconic(over))) over = nullptr;
  placement.centre = placement.area;
  if (over != nullptr) GetWindowRect(over, &placement.centre);
  return placement;
}

}  // namespace

POINT CenteredPosition(SIZE size, const RECT& centre, const RECT& area) {
  LONG x = (centre.left + centre.right) / 2 - size.cx / 2;
  LONG y = (centre.top + centre.bottom) / 2 - size.cy / 2;
  return POINT{ClampStart(x, size.cx, area.left, area.right), ClampStart(y, size.cy, area.top, area.bottom)};
}

bool CenterOver(HWND window, HWND over) {
  if (!IsWindow(window)) return false;
  bool child = HasChildStyle(window);
  if (over == nullptr) over = child ? GetParent(window) : GetWindow(window, GW_OWNER);
  Placement placement = child ? ChildPlacement(window, over) : TopLevelPlacement(over);
  RECT bounds;
  GetWindowRect(window, &bounds);
  SIZE size{bounds.right - bounds.left, bounds.bottom - bounds.top};
  POINT corner = CenteredPosition(size, placement.centre, placement.area);
  return SetWindowPos(window, nullptr, corner.x, corner.y, 0, 0,
                      SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}
