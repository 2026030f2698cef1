#pragma once

#include <windows.h>

// A small loudspeaker with two waves, drawn with GDI lines and polygons at the right end of
// `cell`, so that it is as sharp as the text at every display scale: its size follows the
// cell's height, which follows the grid's font. Nothing is created; the DC's own pen and brush
// take `colour` and are given back. Returns the width it took, 0 when the cell is too small.
int DrawSpeakerMark(HDC dc, const RECT& cell, COLORREF colour);
