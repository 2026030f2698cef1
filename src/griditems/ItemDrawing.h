#pragma once

#include <windows.h>

#include "griditems/GridMessages.h"

// Drawing shared by the item kinds: every text goes through DrawTextW into the cell with its
// left edge moved 2 pixels right.

// Single line, vertically centred, no prefix, ellipsis at the end.
constexpr UINT kValueFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EDITCONTROL | DT_END_ELLIPSIS;
constexpr UINT kCaptionFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EDITCONTROL;
static_assert(kValueFormat == 0xA824 && kCaptionFormat == 0x2824);

struct CellColours {
  COLORREF text;
  COLORREF back;
};

// Values: grey text when the item is disabled, otherwise the record's text colour.
CellColours ValueColours(const GridDrawInfo& info);
// Captions: disabled beats selected, selected beats normal.
CellColours CaptionColours(const GridDrawInfo& info);

// The text rectangle inside a cell.
RECT TextRect(const RECT& cell);

// Fills `rect` with `colour` (ExtTextOutW, ETO_OPAQUE) and leaves the DC's colour as it was.
void FillCell(HDC dc, const RECT& rect, COLORREF colour);

// Draws `text` into the cell with the given colours, background mode and DrawTextW format,
// then puts the DC's colours and background mode back.
void DrawCellText(HDC dc, const RECT& cell, const wchar_t* text, const CellColours& colours,
                  int backgroundMode, UINT format);
