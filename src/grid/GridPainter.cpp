#include "grid/GridPainter.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "grid/GridCellPolicy.h"
#include "griditems/ItemDrawing.h"
#include "griditems/PropertyItem.h"
#include "win/DeviceContext.h"
#include "win/Dpi.h"

namespace {

void LoadSystemColours(GridDrawInfo& info) {
  info.clrText = GetSysColor(COLOR_WINDOWTEXT);
  info.clrBack = GetSysColor(COLOR_WINDOW);
  info.clrSelText = GetSysColor(COLOR_HIGHLIGHTTEXT);
  info.clrSelBack = GetSysColor(COLOR_HIGHLIGHT);
  info.clrDisabledText = GetSysColor(COLOR_GRAYTEXT);
  info.clrDisabledBack = GetSysColor(COLOR_BTNFACE);
  info.clrLine = GetSysColor(COLOR_BTNFACE);
}

// The parent's font (made for the system's scale), at `dpi` when one is given.
LOGFONTW BaseLogFont(HWND grid, UINT dpi) {
  auto font = reinterpret_cast<HFONT>(SendMessageW(GetParent(grid), WM_GETFONT, 0, 0));
  if (font == nullptr) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTW logFont{};
  GetObjectW(font, sizeof(logFont), &logFont);
  const UINT system = SystemDpi();
  if (dpi != 0 && dpi != system) {
    logFont.lfHeight = MulDiv(logFont.lfHeight, static_cast<int>(dpi), static_cast<int>(system));
    logFont.lfWidth = MulDiv(logFont.lfWidth, static_cast<int>(dpi), static_cast<int>(system));
  }
  return logFont;
}

bool LooksTheSame(const GridDrawInfo& a, const GridDrawInfo& b) {
  return a.font == b.font && a.boldFont == b.boldFont && a.pen == b.pen && a.clrText == b.clrText &&
         a.clrBack == b.clrBack && a.clrSelText == b.clrSelText && a.clrSelBack == b.clrSelBack &&
         a.clrLine == b.clrLine && a.clrDisabledText == b.clrDisabledText && a.clrDisabledBack == b.clrDisabledBack;
}

void DrawGridLines(HDC dc, const RECT& rect, HPEN pen) {
  SelectionScope selection(dc, pen);
  MoveToEx(dc, rect.left, rect.bottom - 1, nullptr);
  LineTo(dc, rect.right - 1, rect.bottom - 1);
  LineTo(dc, rect.right - 1, rect.top - 1);
}

// The system's own warning icon keeps its colours and shape in every scheme, high contrast
// included; it is shared, so nothing is freed.
HICON WarningIcon() {
  // Looked up once: a page of missing files would otherwise search the system's resources
  // for every cell it paints.
  static const auto icon = static_cast<HICON>(LoadImageW(nullptr, IDI_WARNING, IMAGE_ICON,
                                                         GetSystemMetrics(SM_CXSMICON),
                                                         GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  return icon;
}

int DrawWarningMark(HDC dc, const RECT& rect) {
  const int size = std::min<int>(GetSystemMetrics(SM_CXSMICON), rect.bottom - rect.top - 2);
  if (size <= 0) return 0;
  HICON icon = WarningIcon();
  if (icon == nullptr) return 0;
  const int left = rect.right - size - 2;
  DrawIconEx(dc, left, rect.top + (rect.bottom - rect.top - size) / 2, icon, size, size, 0, nullptr, DI_NORMAL);
  return size + 2;
}

void DrawFocusFrame(HDC dc, const RECT& rect, COLORREF colour) {
  COLORREF previous = SetDCBrushColor(dc, colour);
  FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SetDCBrushColor(dc, previous);
}

}  // namespace

// Only what changed is made again: most settings changes (a colour, the work area, another
// program's broadcast) leave the font as it was, and a new font means laying out every row.
void GridPainter::RefreshSettings(HWND grid, GridDrawInfo& info) {
  const GridDrawInfo before = info;
  LoadSystemColours(info);
  if (!ownedPen || penColour != info.clrLine) {
    ownedPen.reset(CreatePen(PS_SOLID, 1, info.clrLine));
    penColour = info.clrLine;
  }
  info.pen = ownedPen.get();

  LOGFONTW logFont = BaseLogFont(grid, fontDpi);
  if (!ownedFont || std::memcmp(&logFont, &fontSource, sizeof(logFont)) != 0) {
    fontSource = logFont;
    // The old font goes only after the list view and its header have switched to the new one;
    // the new one is already this painter's while they take it (see KeepsOwnFont).
    UniqueFont previous = std::exchange(ownedFont, UniqueFont(CreateFontIndirectW(&logFont)));
    SendMessageW(grid, WM_SETFONT, reinterpret_cast<WPARAM>(ownedFont.get()), TRUE);
    previous.reset();
    logFont.lfWeight = BoldWeight(logFont.lfWeight);
    ownedBoldFont.reset(CreateFontIndirectW(&logFont));
    WindowDcScope dc(grid);
    SelectionScope selection(dc.dc(), ownedFont.get());
    GetTextMetricsW(dc.dc(), &info.tm);
  }
  info.font = ownedFont.get();
  info.boldFont = ownedBoldFont.get();
  // The room around the text is counted at 96 DPI and grows with the font at larger scales.
  const UINT dpi = fontDpi != 0 ? fontDpi : SystemDpi();
  SetRowHeight(grid, info.tm.tmHeight + ScaleForDpi(CellRowHeight(0), dpi));
  // Most changes (the work area, another program's broadcast) change nothing the grid draws
  // with, and a repaint of every row would be all they cost.
  if (!LooksTheSame(before, info) || info.exFlags != paintedFlags) InvalidateRect(grid, nullptr, TRUE);
  paintedFlags = info.exFlags;
}

bool GridPainter::SetDpi(UINT dpi) {
  if (dpi == fontDpi) return false;
  fontDpi = dpi;
  return true;
}

bool GridPainter::KeepsOwnFont(HFONT offered) const {
  return ownedFont && offered != ownedFont.get() && fontDpi != 0 && fontDpi != SystemDpi();
}

// The list view makes its rows as tall as its font or its small images, whichever is taller.
// The list must not free the images itself: this painter owns them.
void GridPainter::SetRowHeight(HWND grid, int height) {
  // A new list makes the list view lay out every row again; most settings changes keep the height.
  if (rowHeightImages && height == rowHeight) return;
  UniqueImageList images(ImageList_Create(1, height, ILC_COLOR, 0, 1));
  if (!images) return;
  LONG_PTR style = GetWindowLongPtrW(grid, GWL_STYLE);
  if ((style & LVS_SHAREIMAGELISTS) == 0) SetWindowLongPtrW(grid, GWL_STYLE, style | LVS_SHAREIMAGELISTS);
  SendMessageW(grid, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images.get()));
  rowHeightImages = std::move(images);
  rowHeight = height;
}

void GridPainter::PaintCell(const GridDrawInfo& templateInfo, const CellPaint& cell) {
  GridDrawInfo info = templateInfo;
  info.hdc = cell.hdc;
  info.rect = cell.rect;
  info.state = cell.state;
  // Selected rows read as a list view's do, in every colour scheme; the cell under the cursor
  // keeps the window's colours inside its frame, so that it stands out of the highlight.
  if (cell.inSelectedRow && !cell.selectedCell && (info.exFlags & GRID_EX_ROWHIGHLIGHT)) {
    info.clrBack = cell.gridHasFocus ? info.clrSelBack : info.clrDisabledBack;
    info.clrText = cell.gridHasFocus ? info.clrSelText : GetSysColor(COLOR_BTNTEXT);
  }
  if (cell.selectedCell && (info.exFlags & GRID_EX_CELLHIGHLIGHT)) {
    info.clrBack = info.clrSelBack;
    info.clrText = info.clrSelText;
  }
  if (cell.gridDisabled) info.clrBack = info.clrDisabledBack;

  FillCell(cell.hdc, cell.rect, info.clrBack);
  // The mark takes the cell's right end; the value is drawn in what is left.
  if (cell.warning) info.rect.right -= DrawWarningMark(cell.hdc, cell.rect);
  {
    // The list view paints with the grid's font already selected; selecting it again would
    // only make GDI realise the font once more for every cell.
    bool selected = GetCurrentObject(cell.hdc, OBJ_FONT) == info.font;
    SelectionScope font(cell.hdc, selected ? nullptr : info.font);
    if (cell.text != nullptr) {
      DrawCellText(cell.hdc, cell.rect, cell.text, ValueColours(info), TRANSPARENT, kValueFormat);
    } else {
      cell.item->DrawValue(info);
    }
  }
  if (!(info.exFlags & GRID_EX_NOGRIDLINES)) DrawGridLines(cell.hdc, cell.rect, info.pen);
  if (cell.focusFrame)
    DrawFocusFrame(cell.hdc, FocusFrameRect(cell.rect, cell.listGridLines), info.clrSelBack);
}
