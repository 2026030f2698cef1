#pragma once

#include <windows.h>

#include <array>

// Geometry of dragging a tab: the drag threshold, the picture's rectangle and the insertion
// mark, kept apart from the windows so it can be checked on its own.

// True once the pointer has left the system's drag rectangle around the press point.
bool DragDistanceReached(POINT start, POINT now, int dragWidth, int dragHeight);

// The rectangle the drag picture is taken from: the tab and a margin around it.
RECT DragPictureRect(const RECT& tab);

// The columns of the strip that the insertion mark covers when it stands on tab `insertMark`
// (whose rectangle is `tab`) while page `activePage` is dragged: at the tab's left edge when
// the page would land before it, at its right edge when after it.
RECT InsertMarkRect(const RECT& stripClient, const RECT& tab, int insertMark, int activePage);

// The two small triangles of the mark: one hanging from the top edge of `mark`, one standing
// on its bottom edge.
using Triangle = std::array<POINT, 3>;
std::array<Triangle, 2> InsertMarkTriangles(const RECT& mark);
