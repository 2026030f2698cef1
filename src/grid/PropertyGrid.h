#pragma once

#include <windows.h>
// The list-view and header declarations need windows.h first.
#include <commctrl.h>

#include <unordered_set>

#include "grid/CellToolTip.h"
#include "grid/GridMessages.h"
#include "grid/GridPainter.h"
#include "grid/PropertyItem.h"
#include "win/Window.h"

// A report-mode list view ("SysListView32" superclassed as "Sonarwick_PropertyGrid") whose
// cells are PropertyItems: the grid tracks a selected cell beside the list view's selected
// row, lets the items paint every cell, opens their in-place editors and runs the commit
// protocol in which the parent may veto a change. The grid owns the items of its rows.
//
// It relies on its parent chain to reflect WM_NOTIFY back to it (REFLECT_BASE + WM_NOTIFY):
// that is how it sees its own list view's notifications. A derived window (the document
// view) puts its handlers before the grid's and passes on what it does not consume.
class PropertyGrid : public Window {
 public:
  PropertyGrid();
  ~PropertyGrid() override;

  // A zero style gives WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN; single
  // selection and always-shown selection are always added.
  HWND Create(HWND parent, const RECT& rect, DWORD style = 0, DWORD exStyle = 0, UINT controlId = 0);

  // Inserts a row whose column 0 holds `item`; the grid owns the item from then on.
  // Returns the row index, or -1 when nothing was inserted.
  int InsertRow(int index, PropertyItem* item);
  // Stores `item` in a cell of an existing row (an item already there is not destroyed).
  BOOL SetCell(int row, int col, PropertyItem* item);
  PropertyItem** GetRowItems(int row) const;
  PropertyItem* GetCellItem(int row, int col) const;
  // Rows without the append row.
  int GetDataRowCount() const;
  BOOL SelectCell(int row, int col);
  RECT GetCellRect(int row, int col) const;
  BOOL OpenEditor(PropertyItem* item, int row, int col);
  // Ends the open editor (its own focus-loss handling commits or cancels first). Safe to
  // call again from inside that commit.
  void CloseEditor();
  // Ends an open editor as a click elsewhere would, before a command acts on the document.
  // False when the item refused the typed value: the editor then stays open, with the focus,
  // and the command must stop.
  bool CommitEdit();
  BOOL ChangeStyleBits(DWORD remove, DWORD add, UINT swpFlags);

  int GetSelectedRow() const { return selRow; }
  int GetSelectedColumn() const { return selCol; }
  HWND GetEditor() const { return editor; }

 protected:
  bool HandleMessage(Message& m) override;

  HWND header = nullptr;
  // The paint template; its exFlags is the grid's extended-flag word. Whoever changes the
  // flags sends the grid WM_SETTINGCHANGE afterwards.
  GridDrawInfo drawInfo{};

 private:
  LRESULT OnCreate(Message& m);
  void OnDestroy();
  void OnSettingsChanged();
  bool OnKeyDown(Message& m);
  bool OnChar(Message& m);
  LRESULT OnMouseClick(Message& m);
  void OnNavigate(UINT key);
  bool IsOpenEditor(HWND editorWindow) const;
  void OnCommitEdit(HWND editorWindow);
  void OnCancelEdit(HWND editorWindow);
  void OnSetItemValue(const VARIANT* value, PropertyItem* item);
  bool OnNotify(Message& m);
  bool OnReflectedNotify(Message& m);
  bool OnItemChanged(const NMLISTVIEW& change);
  void OnDeleteItem(const NMLISTVIEW& deletion);
  bool OnCustomDraw(Message& m);
  void OnMouseMove(LPARAM position);
  bool OnToolTipText(Message& m);
  std::wstring CellText(int row, int col) const;

  void TrackSelection(int row);
  RECT CellRect(int row, int col, bool appendRow) const;
  void PaintCell(const NMLVCUSTOMDRAW& draw);
  UINT CellState(const PropertyItem& item, int row, int col) const;
  bool IsAppendRowIndex(int row) const;
  bool HasAppendRow() const { return (drawInfo.exFlags & GRID_EX_APPENDROW) != 0; }
  bool HasSelectedCell() const { return selRow >= 0 && selCol >= 0; }
  int ItemCount() const;
  int SelectedListRow() const;
  void RepaintCell(int row, int col, bool erase = true);
  LRESULT Notify(int code, PropertyItem* item);
  bool FindItem(const PropertyItem* item, int& row, int& col) const;
  void FreeRow(PropertyItem** items);

  GridPainter painter;
  CellToolTip toolTip;
  HWND editor = nullptr;
  int editRow = -1;
  int editCol = -1;
  int columnCount = 0;
  int selRow = -1;
  int selCol = -1;
  // Every row array the grid holds, so that each is freed exactly once even when a row's
  // deletion notice never comes back to the grid.
  std::unordered_set<PropertyItem**> rowArrays;
};
