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
  if (HasAppendRow() && ItemCount() > 0) {
    RECT row = GetCellRect(ItemCount() - 1, 0);
    InvalidateRect(Handle(), &row, FALSE);
  }
  CloseEditor();
  return false;
}

bool PropertyGrid::OnReflectedNotify(Message& m) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(m.lParam);
  if (hdr == nullptr || hdr->hwndFrom != Handle()) return false;
  switch (hdr->code) {
    case LVN_ITEMCHANGED:
      return OnItemChanged(*reinterpret_cast<const NMLISTVIEW*>(m.lParam));
    case LVN_DELETEITEM:
      OnDeleteItem(*reinterpret_cast<const NMLISTVIEW*>(m.lParam));
      m.result = 0;
      return true;
    case NM_CUSTOMDRAW:
      return OnCustomDraw(m);
    default:
      return false;
  }
}

bool PropertyGrid::OnItemChanged(const NMLISTVIEW& change) {
  if (!(change.uNewState & LVIS_SELECTED)) return true;
  if (change.iItem == -1) return false;
  TrackSelection(change.iItem);
  return false;
}

void PropertyGrid::TrackSelection(int row) {
  selRow = row;
  if (selCol == -1 || IsAppendRowIndex(row)) selCol = 0;
  RepaintCell(selRow, selCol);
  Notify(GRIDN_SELCHANGED, GetCellItem(selRow, selCol));
}

bool PropertyGrid::OnCustomDraw(Message& m) {
  auto& draw = *reinterpret_cast<NMLVCUSTOMDRAW*>(m.lParam);
  DWORD stage = draw.nmcd.dwDrawStage;
  if (stage == CDDS_PREPAINT) {
    m.result = CDRF_NOTIFYITEMDRAW;
  } else if (stage == CDDS_ITEMPREPAINT) {
    m.result = CDRF_NOTIFYSUBITEMDRAW;
  } else if (stage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
    PaintCell(draw);
    m.result = CDRF_SKIPDEFAULT;
  } else if (IsDefaultPaintStage(stage)) {
    m.result = CDRF_DODEFAULT;
  } else {
    return false;
  }
  return true;
}

void PropertyGrid::PaintCell(const NMLVCUSTOMDRAW& draw) {
  auto row = static_cast<int>(draw.nmcd.dwItemSpec);
  int col = draw.iSubItem;
  // The list view only asks for rows it has, so the row's array can be taken as it is.
  bool appendRow = IsAppendRowIndex(row);
  if (appendRow && col != 0) return;  // the append row's single cell spans the row
  PropertyItem** items = col >= 0 && col < columnCount ? GetRowItems(row) : nullptr;
  PropertyItem* item = items != nullptr ? items[col] : nullptr;
  if (item == nullptr) return;

  auto style = static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE));
  auto listExStyle = static_cast<DWORD>(SendMessageW(Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  CellPaint cell{};
  cell.hdc = draw.nmcd.hdc;
  cell.rect = CellRect(row, col, appendRow);
  cell.item = item;
  cell.state = CellState(*item, row, col);
  cell.inSelectedRow = row == selRow;
  cell.selectedCell = row == selRow && col == selCol;
  cell.gridDisabled = (style & WS_DISABLED) != 0;
  bool showSelectionAlways = (style & LVS_SHOWSELALWAYS) != 0;
  // GetFocus asks the server; only the selected row of a grid that hides its selection needs it.
  bool gridHasFocus = row == selRow && !showSelectionAlways && GetFocus() == Handle();
  cell.focusFrame = HasFocusFrame({.gridHasFocus = gridHasFocus,
                                   .itemHasFocusState = (draw.nmcd.uItemState & CDIS_FOCUS) != 0,
                                   .showSelectionAlways = showSelectionAlways,
                                   .row = row,
                                   .col = col,
                                   .selRow = selRow,
                                   .selCol = selCol,
                                   .appendRow = appendRow,
                                   .editRow = editRow,
                                   .editCol = editCol});
  cell.listGridLines = (listExStyle & LVS_EX_GRIDLINES) != 0;
  GridPainter::PaintCell(drawInfo, cell);
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
  if (row >= 0 && col >= 0 && !editing && !IsAppendRowIndex(row)) {
    text = CellText(row, col);
    RECT cell = GetCellRect(row, col);
    if (CellTextFits(Handle(), drawInfo.font, text, cell.right - cell.left)) text.clear();
  }
  toolTip.SupplyText(reinterpret_cast<NMHDR*>(m.lParam), std::move(text));
  m.result = 0;
  return true;
}

std::wstring PropertyGrid::CellText(int row, int col) const {
  PropertyItem* item = GetCellItem(row, col);
  if (item == nullptr) return std::wstring();
  std::wstring text(item->GetDisplayTextLength() + 1, L'\0');
  if (!item->GetDisplayText(text.data(), static_cast<UINT>(text.size()))) return std::wstring();
  text.resize(wcslen(text.c_str()));
  return text;
}
