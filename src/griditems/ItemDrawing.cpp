#include "griditems/ItemDrawing.h"

CellColours ValueColours(const GridDrawInfo& info) {
  bool disabled = (info.state & GRID_STATE_DISABLED) != 0;
  return {disabled ? info.clrDisabledText : info.clrText, info.clrBack};
}

CellColours CaptionColours(const GridDrawInfo& info) {
  if (info.state & GRID_STATE_DISABLED) return {info.clrDisabledText, info.clrBack};
  if (info.state & GRID_STATE_SELECTED) return {info.clrSelText, info.clrSelBack};
  return {info.clrText, info.clrBack};
}

RECT TextRect(const RECT& cell) {
  RECT text = cell;
  text.left += 2;
  text.bottom -= 1;  // the grid line's row
  return text;
}

void FillCell(HDC dc, const RECT& rect, COLORREF colour) {
  COLORREF previous = SetBkColor(dc, colour);
  if (previous == CLR_INVALID) return;
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  SetBkColor(dc, previous);
}

void DrawCellText(HDC dc, const RECT& cell, const wchar_t* text, const CellColours& colours,
                  int backgroundMode, UINT format) {
  int previousMode = SetBkMode(dc, backgroundMode);
  COLORREF previousText = SetTextColor(dc, colours.text);
  COLORREF previousBack = SetBkColor(dc, colours.back);
  RECT rect = TextRect(cell);
  DrawTextW(dc, text, -1, &rect, format);
  SetBkColor(dc, previousBack);
  SetTextColor(dc, previousText);
  SetBkMode(dc, previousMode);
}
