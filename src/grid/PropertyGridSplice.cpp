// Rows going in or out in one place shift the rows below them on the screen instead of
// painting them all again: their pixels move by whole rows, and only what differs after the
// move is painted (the rows that came in, the strip uncovered at the bottom, the row numbers).
// The rows below keep their contents; a caller that changes them as well repaints them.
#include "grid/PropertyGrid.h"

#include <algorithm>

void PropertyGrid::NoteSplice(int row, int delta) {
  if (splice.simple && splice.delta == 0) {
    splice.at = row;
    splice.delta = delta;
  } else if (delta > 0 && splice.delta > 0 && row == splice.at + splice.delta) {
    splice.delta += delta;  // one more row of an inserted block
  } else if (delta < 0 && splice.delta < 0 && row == splice.at) {
    splice.delta += delta;  // one more row of a deleted block
  } else {
    splice.simple = false;
  }
}

bool PropertyGrid::ShiftRowsOnScreen(int oldCount, bool paintWaiting) {
  const Splice change = splice;
  splice = Splice{};
  const int count = GetRowCount();
  // Anything else on the screen may have changed too, or may be in the way of the pixels.
  if (!change.simple || change.delta == 0 || change.at != firstChangedRow || count - oldCount != change.delta ||
      paintWaiting || IsWindow(editor) || !IsWindowVisible(Handle()) || count == 0)
    return false;
  const int topRow = static_cast<int>(SendMessageW(Handle(), LVM_GETTOPINDEX, 0, 0));
  if (change.at < topRow) return false;
  RECT top{};
  top.left = LVIR_BOUNDS;
  if (!SendMessageW(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(topRow), reinterpret_cast<LPARAM>(&top)))
    return false;
  const int rowHeight = top.bottom - top.top;
  RECT client{};
  GetClientRect(Handle(), &client);
  RECT below = client;
  below.top = top.top + (change.at - topRow) * rowHeight;
  if (rowHeight <= 0 || below.top >= below.bottom) return true;  // nothing of it is on the screen

  const int shift = change.delta * rowHeight;
  RECT moved = below;
  if (shift < 0) moved.top -= shift;  // the rows below the deleted ones come up
  if (moved.top < moved.bottom) {
    ScrollWindowEx(Handle(), 0, shift, &moved, &below, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
    // The scroll only asks for what it uncovered inside the rows it moved: with fewer rows
    // below the deleted ones than were deleted, the place between where they landed and the
    // end of the list would keep the deleted rows' pixels.
    RECT rest = below;
    rest.top = below.top + (moved.bottom - moved.top);
    if (shift < 0 && rest.top < rest.bottom) InvalidateRect(Handle(), &rest, TRUE);
  } else {
    InvalidateRect(Handle(), &below, TRUE);
  }
  // The first row after a deletion shows another entry in the place where the cursor was; the
  // list view sees no change of its selection there, so nothing else repaints the row.
  if (change.delta < 0) {
    RECT first = below;
    first.bottom = std::min(below.bottom, below.top + rowHeight);
    InvalidateRect(Handle(), &first, TRUE);
  }
  // Every row below the change has a new number.
  if ((drawInfo.exFlags & GRID_EX_ROWNUMBERS) != 0) {
    RECT numbers = below;
    const RECT firstColumn = GetCellRect(topRow, 0);
    numbers.left = firstColumn.left;
    numbers.right = firstColumn.right;
    InvalidateRect(Handle(), &numbers, TRUE);
  }
  return true;
}
