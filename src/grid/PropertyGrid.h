#pragma once

#include <windows.h>
// The list-view and header declarations need windows.h first.
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "grid/CellToolTip.h"
#include "griditems/GridMessages.h"
#include "grid/GridPainter.h"
#include "griditems/PropertyItem.h"
#include "win/Window.h"

// A report-mode list view ("SysListView32" superclassed as "Sonarwick_PropertyGrid") whose
// cells are PropertyItems: the grid tracks a selected cell beside the list view's selected
// row, lets the items paint every cell, opens their in-place editors and runs the commit
// protocol in which the parent may veto a change. The grid owns the items of its rows.
//
// The rows live in the grid's own storage and the list view is a virtual one (LVS_OWNERDATA):
// it only knows how many rows there are, asks the grid for a cell's text when someone reads
// it (a screen reader, LVM_GETITEMTEXT), and leaves every row's painting to the grid, one
// custom-draw notice per row. Inserting or deleting a row is a change of the count, not a
// message per cell.
//
// It relies on its parent chain to reflect WM_NOTIFY back to it (REFLECT_BASE + WM_NOTIFY):
// that is how it sees its own list view's notifications. A parent that knows the grid can
// send those back at once (TakesOwnNotification); the grid's own notifications go on to the
// frame. A derived window (the document view) puts its handlers before the grid's and passes
// on what it does not consume.
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
  // Removes a row and destroys its items; an editor open anywhere is ended first.
  BOOL DeleteRow(int row);
  PropertyItem** GetRowItems(int row) const;
  PropertyItem* GetCellItem(int row, int col) const;
  // Rows without the append row.
  int GetDataRowCount() const;
  // Rows with the append row.
  int GetRowCount() const { return static_cast<int>(rows.size()); }
  // Repaints rows first..last (clamped; -1 for last means to the end of the grid), for an
  // owner that changed the values of their items.
  void RepaintRows(int first, int last = -1);

  // Row changes between BeginUpdate and the matching EndUpdate reach the list view as one
  // change of its row count and one repaint. Scopes nest.
  void BeginUpdate();
  void EndUpdate();
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

  // Shows the grid's text at display scale `dpi` (the window moved to a monitor of another
  // scale): the fonts are made again from the parent's, the rows take the new font's height
  // and an open editor takes the font and its cell's new place, keeping what was typed.
  void SetFontDpi(UINT dpi);

  // The selected data rows, ascending: the cursor's row alone, unless Shift, Ctrl, Ctrl+A or
  // SelectRows chose more. The append row is never among them.
  std::vector<int> GetSelectedRows() const;
  bool IsRowSelected(int row) const;
  // Selects the data rows first..last and puts the cursor on (cursorRow, col).
  void SelectRows(int first, int last, int cursorRow, int col);
  void SelectRowSet(const std::vector<int>& chosen, int cursorRow, int col);
  void SelectAllRows();

  // The cursor: the cell the keyboard is on.
  int GetSelectedRow() const { return selRow; }
  int GetSelectedColumn() const { return selCol; }
  HWND GetEditor() const { return editor; }
  int GetEditRow() const { return editRow; }
  // Whether the open editor's commit was asked to go to every selected row (Ctrl+Enter);
  // asking clears it.
  bool TakeFillRequest() {
    const bool requested = fillRequested;
    fillRequested = false;
    return requested;
  }
  int GetEditColumn() const { return editCol; }

  // Why the last typed value was refused, when the refusal has words of its own; empty for a
  // value its item could not convert (the parent knows what a number cell wants).
  const std::wstring& GetRefusalReason() const { return refusalReason; }

  // The list view's own notifications (painting, selection, texts) the grid takes back at
  // once from a parent that relays them; its GRIDN_ notices go on to the parent's parent.
  bool TakesOwnNotification(UINT code) const override;

  // The text a cell shows; for column 0 of a grid with GRID_EX_ROWNUMBERS, the row's number.
  std::wstring CellText(int row, int col) const;

  // The owner's warning about a data cell (a name whose file is missing), empty for none. A
  // cell with a warning is drawn with the system's warning mark and shows the warning as its
  // tooltip. The owner invalidates the grid when its answers change.
  using CellWarning = std::function<std::wstring(int row, int col)>;
  void SetCellWarning(CellWarning warning) { cellWarning = std::move(warning); }

  // Called each time an editor opens over a cell, placed and shown, so that the owner can add
  // what the cell's editor needs beyond its item's (a browse button, completion).
  using EditorOpened = std::function<void(HWND editor, int row, int col)>;
  void SetEditorOpened(EditorOpened opened) { editorOpened = std::move(opened); }

 protected:
  bool HandleMessage(Message& m) override;
  // The whole text of a cell the pointer rests on, for its tooltip; empty for no tip. The
  // grid's own answer is the cell's text when the cell shows it cut short.
  virtual std::wstring CellToolTipText(int row, int col) const;
  // Keeps the open editor on its cell with what was typed: beeps and tells the parent, which
  // shows `reason` (or its own words for an empty one).
  void RefuseEdit(PropertyItem* item, std::wstring reason);
  // Puts the open editor over its cell again, after the cells moved.
  void PlaceEditor();
  // The cell holding `item`, looked for in the edited row first.
  bool FindItem(const PropertyItem* item, int& row, int& col) const;

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
  void TabToNextCell(bool backwards);
  bool IsOpenEditor(HWND editorWindow) const;
  void OnCommitEdit(HWND editorWindow);
  void OnCancelEdit(HWND editorWindow);
  void OnEditorButton(HWND editorWindow);
  void OnRefocusEditor(HWND editorWindow);
  bool HandKeyToRefusedEditor(Message& m);
  void OnSetItemValue(const VARIANT* value, PropertyItem* item);
  bool OnNotify(Message& m);
  bool OnReflectedNotify(Message& m);
  bool OnItemChanged(const NMLISTVIEW& change);
  bool OnCustomDraw(Message& m);
  void OnGetDisplayInfo(NMLVDISPINFOW& info);
  void OnMouseMove(const Message& m);
  bool OnToolTipText(Message& m);

  void TrackSelection(int row);
  // How the next cursor move changes the selected rows (GridSelection.cpp).
  enum class SelectionGesture { Single, Extend, Toggle, Keep };
  void MarkRowsFor(int row);
  void ClearMarks();
  void MarkRow(int row);
  bool OnSelectionKey(Message& m);
  bool OnModifiedClick(int row, int col, bool toggle);
  // Moves the list view's own selection to `row`; the grid follows as for a user's move.
  void MoveListSelection(int row);
  RECT CellRect(int row, int col, bool appendRow) const;
  void StartPaintPass(const NMLVCUSTOMDRAW& draw);
  void PaintRow(const NMLVCUSTOMDRAW& draw);
  UINT CellState(const PropertyItem& item, int row, int col) const;
  bool IsAppendRowIndex(int row) const;
  bool HasAppendRow() const { return (drawInfo.exFlags & GRID_EX_APPENDROW) != 0; }
  bool HasSelectedCell() const { return selRow >= 0 && selCol >= 0; }
  int ItemCount() const;
  int SelectedListRow() const;
  // The first row shown (the list's scroll position).
  int TopRow() const;
  void RepaintCell(int row, int col, bool erase = true);
  // The selected rows shown, which change colour with the focus.
  void RepaintSelectedRows();
  void OnFocusChange(HWND other);
  void OnEditorLeft();
  LRESULT Notify(int code, PropertyItem* item);
  void FreeRow(PropertyItem** items);
  void FreeAllRows();
  // Tells the list view how many rows there are, unless an update scope is open.
  void SyncRowCount();
  void NoteSplice(int row, int delta);
  // Moves the rows below a simple splice on the screen and asks for what the move cannot
  // show; false when the rows below must be painted again instead.
  bool ShiftRowsOnScreen(int oldCount, bool paintWaiting);
  // Keeps the selected and edited rows on their entries when rows go in or out above them.
  void ShiftRowIndexes(int from, int delta);

  GridPainter painter;
  CellToolTip toolTip;
  CellWarning cellWarning;
  EditorOpened editorOpened;
  HWND editor = nullptr;
  int editRow = -1;
  int editCol = -1;
  int columnCount = 0;
  int selRow = -1;
  int selCol = -1;
  std::wstring refusalReason;
  // One array of columnCount item pointers per row, in row order; the grid owns both.
  std::vector<PropertyItem**> rows;
  // Rows chosen beside the cursor's, one flag per row, so they move with inserts and deletes.
  std::vector<char> marked;
  int anchorRow = -1;
  SelectionGesture gesture = SelectionGesture::Single;
  int selectionMoves = 0;
  int updateDepth = 0;
  bool fillRequested = false;
  // The first row an open update scope changed, or -1.
  int firstChangedRow = -1;
  // Rows an open update scope put in (delta > 0) or took out (delta < 0) as one block at `at`;
  // anything else makes it not simple, and the rows below are painted again instead.
  struct Splice {
    int at = -1;
    int delta = 0;
    bool simple = true;
  } splice;
  // What painting one row needs, taken once when a paint pass starts.
  struct PaintPass {
    std::vector<int> columnLefts;  // header coordinates
    std::vector<int> columnRights;
    bool gridDisabled = false;
    bool showSelectionAlways = false;
    bool gridHasFocus = false;
    // The grid or its editor has the keyboard.
    bool focusWithin = false;
    bool listGridLines = false;
  } paintPass;
};
