#include <cwchar>
#include <string>

#include "grid/GridCellPolicy.h"
#include "grid/PropertyGrid.h"

// The list view's and header's notifications: selection tracking, custom-draw painting of
// the cells by their items, and the tool tip that shows a cut-short cell's whole text.

namespace {

bool IsHeaderLayoutChange(UINT code) {
  switch (code) {
    case HDN_ITEMCHANGINGA:
    case HDN_ITEMCHANGINGW:
    case HDN_ITEMCHANGEDA:
    case HDN_ITEMCHANGEDW:
    case HDN_TRACKA:
    case HDN_TRACKW:
      return true;
    default:
      return false;
  }
}

bool IsDividerDoubleClick(UINT code) { return code == HDN_DIVIDERDBLCLICKA || code == HDN_DIVIDERDBLCLICKW; }

// Custom-draw stages the list view may paint itself.
bool IsDefaultPaintStage(DWORD stage) {
  switch (stage) {
    case CDDS_POSTPAINT:
    case CDDS_PREERASE:
    case CDDS_POSTERASE:
    case CDDS_ITEMPOSTPAINT:
    case CDDS_ITEMPREERASE:
    case CDDS_ITEMPOSTERASE:
      return true;
    default:
      return false;
  }
}

// The decimal text of a row number, as the number column shows it.
std::wstring RowNumberText(int row) { return std::to_wstring(row); }

}  // namespace

bool PropertyGrid::OnNotify(Message& m) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(m.lParam);
  if (hdr != nullptr && hdr->hwndFrom == toolTip.Handle() && hdr->hwndFrom != nullptr)
    return OnToolTipText(m);
  if (hdr == nullptr || header == nullptr || hdr->hwndFrom != header) return false;
  UINT code = hdr->code;
  if (IsDividerDoubleClick(code)) {
    m.result = 0;
    return true;
  }
  if (!IsHeaderLayoutChange(code)) return false;
  // A column keeps its width while the editor over it holds a refused value.
  if (!CommitEdit()) {
    m.result = TRUE;
    return code != HDN_ITEMCHANGEDA && code != HDN_ITEMCHANGEDW;
  }
  if (HasAppendRow() && GetRowCount() > 0) {
    RECT row = GetCellRect(GetRowCount() - 1, 0);
    InvalidateRect(Handle(), &row, FALSE);
  }
  return false;
}

bool PropertyGrid::TakesOwnNotification(UINT code) const {
  switch (code) {
    case LVN_ITEMCHANGED:
    case LVN_GETDISPINFOW:
    case LVN_ODCACHEHINT:
    case LVN_ODFINDITEMW:
    case NM_CUSTOMDRAW:
      return true;
    default:
      return false;
  }
}

bool PropertyGrid::OnReflectedNotify(Message& m) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(m.lParam);
  if (hdr == nullptr || hdr->hwndFrom != Handle()) return false;
  switch (hdr->code) {
    case LVN_ITEMCHANGED:
      return OnItemChanged(*reinterpret_cast<const NMLISTVIEW*>(m.lParam));
    case LVN_GETDISPINFOW:
      OnGetDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(m.lParam));
      m.result = 0;
      return true;
    case LVN_ODFINDITEMW:
      // Typing on the list finds nothing: characters open the cell's editor instead.
      m.result = -1;
      return true;
    case NM_CUSTOMDRAW:
      return OnCustomDraw(m);
    default:
      return false;
  }
}

// The texts of the virtual list, asked for by whoever reads the list (LVM_GETITEMTEXT, a
// screen reader); painting never asks.
void PropertyGrid::OnGetDisplayInfo(NMLVDISPINFOW& info) {
  if ((info.item.mask & LVIF_TEXT) == 0 || info.item.pszText == nullptr || info.item.cchTextMax <= 0) return;
  const std::wstring text = CellText(info.item.iItem, info.item.iSubItem);
  lstrcpynW(info.item.pszText, text.c_str(), info.item.cchTextMax);
}

bool PropertyGrid::OnItemChanged(const NMLISTVIEW& change) {
  if (!(change.uNewState & LVIS_SELECTED)) return true;
  if (change.iItem == -1) return false;
  TrackSelection(change.iItem);
  return false;
}

void PropertyGrid::TrackSelection(int row) {
  ++selectionMoves;
  MarkRowsFor(row);
  selRow = row;
  if (selCol == -1 || IsAppendRowIndex(row)) selCol = 0;
  RepaintCell(selRow, selCol);
  Notify(GRIDN_SELCHANGED, GetCellItem(selRow, selCol));
}

// One notice per row: the grid paints every cell of the row itself and the list view draws
// nothing of it. What every row needs is taken once per pass.
bool PropertyGrid::OnCustomDraw(Message& m) {
  auto& draw = *reinterpret_cast<NMLVCUSTOMDRAW*>(m.lParam);
  DWORD stage = draw.nmcd.dwDrawStage;
  if (stage == CDDS_PREPAINT) {
    StartPaintPass(draw);
    m.result = CDRF_NOTIFYITEMDRAW;
  } else if (stage == CDDS_ITEMPREPAINT) {
    PaintRow(draw);
    m.result = CDRF_SKIPDEFAULT;
  } else if (IsDefaultPaintStage(stage)) {
    m.result = CDRF_DODEFAULT;
  } else {
    return false;
  }
  return true;
}

void PropertyGrid::StartPaintPass(const NMLVCUSTOMDRAW& /*draw*/) {
  auto style = static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE));
  auto listExStyle = static_cast<DWORD>(SendMessageW(Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  paintPass.gridDisabled = (style & WS_DISABLED) != 0;
  paintPass.showSelectionAlways = (style & LVS_SHOWSELALWAYS) != 0;
  // GetFocus asks the server; only a grid that hides its selection without the focus needs it.
  paintPass.gridHasFocus = !paintPass.showSelectionAlways && GetFocus() == Handle();
  paintPass.listGridLines = (listExStyle & LVS_EX_GRIDLINES) != 0;
  const HWND focus = GetFocus();
  paintPass.focusWithin = focus != nullptr && (focus == Handle() || IsChild(Handle(), focus));
  paintPass.columnLefts.assign(static_cast<size_t>(columnCount), 0);
  paintPass.columnRights.assign(static_cast<size_t>(columnCount), 0);
  for (int col = 0; col < columnCount; ++col) {
    RECT column{};
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(col), reinterpret_cast<LPARAM>(&column));
    paintPass.columnLefts[static_cast<size_t>(col)] = column.left;
    paintPass.columnRights[static_cast<size_t>(col)] = column.right;
  }
}

void PropertyGrid::PaintRow(const NMLVCUSTOMDRAW& draw) {
  auto row = static_cast<int>(draw.nmcd.dwItemSpec);
  PropertyItem** items = GetRowItems(row);
  if (items == nullptr || paintPass.columnLefts.size() != static_cast<size_t>(columnCount)) return;
  RECT bounds{};
  bounds.left = LVIR_BOUNDS;
  if (!SendMessageW(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds))) return;
  const bool appendRow = IsAppendRowIndex(row);
  const bool rowNumbers = (drawInfo.exFlags & GRID_EX_ROWNUMBERS) != 0 && !appendRow;
  // The append row's single cell spans the row.
  const int cells = appendRow ? 1 : columnCount;
  for (int col = 0; col < cells; ++col) {
    PropertyItem* item = items[col];
    if (item == nullptr) continue;
    RECT cell = bounds;
    if (!appendRow) {
      cell.left = bounds.left + paintPass.columnLefts[static_cast<size_t>(col)];
      cell.right = bounds.left + paintPass.columnRights[static_cast<size_t>(col)];
      if (col == 0 && columnCount >= 2) cell.right = bounds.left + paintPass.columnLefts[1] - 1;
      if (col == 0) cell.left = bounds.left;
    }
    // A paint that asked for part of the row (one cell, the number column) gets that part.
    if (!RectVisible(draw.nmcd.hdc, &cell)) continue;
    CellPaint paint{};
    paint.hdc = draw.nmcd.hdc;
    paint.rect = cell;
    paint.item = item;
    paint.state = CellState(*item, row, col);
    paint.inSelectedRow = row == selRow || IsRowSelected(row);
    // The append row's one cell is the cursor's whichever column it came from.
    paint.selectedCell = row == selRow && (col == selCol || appendRow);
    paint.gridHasFocus = paintPass.focusWithin;
    paint.gridDisabled = paintPass.gridDisabled;
    paint.focusFrame = HasFocusFrame({.gridHasFocus = row == selRow && paintPass.gridHasFocus,
                                      .itemHasFocusState = (draw.nmcd.uItemState & CDIS_FOCUS) != 0,
                                      .showSelectionAlways = paintPass.showSelectionAlways,
                                      .row = row,
                                      .col = col,
                                      .selRow = selRow,
                                      .selCol = selCol,
                                      .appendRow = appendRow,
                                      .editRow = editRow,
                                      .editCol = editCol});
    paint.listGridLines = paintPass.listGridLines;
    paint.warning = cellWarning && !appendRow && !cellWarning(row, col).empty();
    paint.speaker = col == 0 && !appendRow && HasRowMark(row);
    std::wstring number;
    if (rowNumbers && col == 0) {
      number = RowNumberText(row);
      paint.text = number.c_str();
    }
    GridPainter::PaintCell(drawInfo, paint);
  }
}

UINT PropertyGrid::CellState(const PropertyItem& item, int row, int col) const {
  UINT state = 0;
  if (row == selRow && col == selCol) state |= GRID_STATE_SELECTED;
  if (row == editRow && col == editCol) state |= GRID_STATE_EDITING;
  if (!item.IsEnabled()) state |= GRID_STATE_DISABLED;
  return state;
}

// The whole text of the cell under the pointer when the cell shows it cut short; otherwise
// none, and so no tip (an open editor shows its text itself).
bool PropertyGrid::OnToolTipText(Message& m) {
  int row = toolTip.Row(), col = toolTip.Col();
  std::wstring text;
  bool editing = row == editRow && col == editCol;
  if (row >= 0 && col >= 0 && !editing && !IsAppendRowIndex(row)) text = CellToolTipText(row, col);
  toolTip.SupplyText(reinterpret_cast<NMHDR*>(m.lParam), std::move(text));
  m.result = 0;
  return true;
}

std::wstring PropertyGrid::CellToolTipText(int row, int col) const {
  if (cellWarning) {
    std::wstring warning = cellWarning(row, col);
    if (!warning.empty()) return warning;
  }
  std::wstring text = CellText(row, col);
  RECT cell = GetCellRect(row, col);
  if (CellTextFits(Handle(), drawInfo.font, text, cell.right - cell.left)) text.clear();
  return text;
}

std::wstring PropertyGrid::CellText(int row, int col) const {
  if ((drawInfo.exFlags & GRID_EX_ROWNUMBERS) != 0 && col == 0 && row >= 0 && row < GetDataRowCount())
    return RowNumberText(row);
  PropertyItem* item = GetCellItem(row, col);
  if (item == nullptr) return std::wstring();
  std::wstring text(item->GetDisplayTextLength() + 1, L'\0');
  if (!item->GetDisplayText(text.data(), static_cast<UINT>(text.size()))) return std::wstring();
  text.resize(wcslen(text.c_str()));
  return text;
}
