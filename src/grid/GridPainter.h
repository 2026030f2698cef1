#pragma once

#include <windows.h>

#include "griditems/GridMessages.h"
#include "win/UniqueHandle.h"

class PropertyItem;

// What the grid knows about one cell when the list view asks for it to be painted.
struct CellPaint {
  HDC hdc;
  RECT rect;
  PropertyItem* item;
  UINT state;  // GRID_STATE_* bits
  bool inSelectedRow;
  bool selectedCell;
  // The keyboard is in the grid or its editor: selected rows show the system's highlight,
  // otherwise its unfocused one.
  bool gridHasFocus;
  bool gridDisabled;
  bool focusFrame;
  bool listGridLines;  // LVS_EX_GRIDLINES
  // Shown instead of the item's value when set (the row-number column).
  const wchar_t* text = nullptr;
  // The system's warning mark at the cell's right end (the owner's warning about the cell).
  bool warning = false;
};

// Owns the grid's font, bold font and line pen and paints cells from the paint template.
class GridPainter {
 public:
  // Rebuilds the template's colours, fonts, pen and metrics from the system and the grid's
  // parent, hands the font to the grid (WM_SETFONT), makes the rows tall enough for every
  // glyph of the font and frees what the previous refresh made.
  void RefreshSettings(HWND grid, GridDrawInfo& info);

  // The display scale the fonts are made for: the parent's font is made for the system's,
  // and a window on a monitor of another scale shows it scaled. The next RefreshSettings makes
  // the fonts again; false when the scale is the one they already have.
  bool SetDpi(UINT dpi);
  // Whether a font handed to the grid from outside would replace the one made for its scale:
  // such a font is made for the system's scale, which this grid is not shown at.
  bool KeepsOwnFont(HFONT offered) const;

  // Background, the item's value, grid lines and focus frame of one cell. Nothing is created:
  // the lines use the template's pen and the frame the DC's own brush.
  static void PaintCell(const GridDrawInfo& templateInfo, const CellPaint& cell);

 private:
  void SetRowHeight(HWND grid, int height);

  UniqueFont ownedFont;
  UniqueFont ownedBoldFont;
  UniquePen ownedPen;
  COLORREF penColour = CLR_INVALID;
  // The description the fonts were made from, to tell whether a settings change touched it.
  LOGFONTW fontSource{};
  // 0 until a scale is given: the fonts then stay at the system's.
  UINT fontDpi = 0;
  // An empty small-image list whose image height sets the list view's row height.
  UniqueImageList rowHeightImages;
  int rowHeight = 0;
  // The extended flags the rows were last painted under (their change repaints too).
  UINT paintedFlags = ~0u;
};
