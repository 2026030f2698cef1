#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "CellValueSupport.h"
#include "WinTestSupport.h"
#include "griditems/EditItem.h"
#include "grid/PropertyGrid.h"
#include "win/Window.h"

// A grid with access to its extended flags, as the document view has.
class GridUnderTest : public PropertyGrid {
 public:
  void SetExFlags(UINT flags) {
    drawInfo.exFlags = flags;
    SendMessageW(Handle(), WM_SETTINGCHANGE, 0, 0);
  }
  const GridDrawInfo& DrawInfo() const { return drawInfo; }
};

struct RecordedNotify {
  int code;
  PropertyItem* item;
};

// The grid's parent, standing in for the frame: it records the grid's notifications, may
// veto a change or swallow a click, and reflects every notification back to its sender.
class TestParent : public Window {
 public:
  bool reflect = true;
  LRESULT changingAnswer = 0;
  LRESULT clickAnswer = 0;
  HFONT font = nullptr;  // answered to WM_GETFONT
  std::vector<RecordedNotify> notifications;
  std::vector<WPARAM> nextControlRequests;

  HWND Create();
  std::vector<int> Codes() const;
  int Count(int code) const;
  void Clear() { notifications.clear(); }
  // Back to reflecting everything and answering 0, with nothing recorded.
  void Reset();

 protected:
  bool HandleMessage(Message& m) override;
};

// Destroyed items by label; every counting item adds itself here when it goes.
std::map<int, int>& DestroyedItems();

// An edit item that counts its destruction and records what the grid told it.
class CountingEditItem : public EditItem {
 public:
  explicit CountingEditItem(int label) : EditItem(L"", 0), label(label) {}
  ~CountingEditItem() override { ++DestroyedItems()[label]; }
  BOOL Activate(UINT action, LPARAM param) override {
    actions.push_back(action);
    return EditItem::Activate(action, param);
  }
  std::vector<UINT> actions;

 private:
  int label;
};

// The four time-of-day names, ended by a null pointer.
extern const wchar_t* const kTimesOfDay[];

// Columns as the document shows them.
void InsertDocumentColumns(HWND grid);
// One row as a loaded document has it: number label, file name, two repeat times, time of
// day and volume. Returns the row index.
int AddDocumentRow(PropertyGrid& grid, int index);

// One parent window for the whole test program, so that no test pays for handing the
// activation on when a foreground window goes away; each test makes its own grid in it.
TestParent& SharedParent();

// A visible parent with a grid filling it: document columns, `rows` document rows and, with
// GRID_EX_APPENDROW among `flags`, the append row below them.
struct GridFixtureWindows {
  TestParent& parent = SharedParent();
  GridUnderTest grid;
  void Build(int rows, UINT flags);
  RECT Cell(int row, int col) const { return grid.GetCellRect(row, col); }
  POINT CellCentre(int row, int col) const;
  // The grid's items, by cell.
  template <typename T>
  T* Item(int row, int col) const {
    return dynamic_cast<T*>(grid.GetCellItem(row, col));
  }
};

// The item's value as a number, or LONG_MIN when it is not VT_I4.
LONG NumberValue(const PropertyItem& item);
