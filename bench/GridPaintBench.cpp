// Fills a property grid with a document's 100 rows × 6 cells and repaints it, and does the same
// with a plain report list view holding the same 600 texts; prints both times and the ratios.
//
//   grid_paint_bench.exe [repaints]
//
// "full" paints every row into a memory bitmap (WM_PRINTCLIENT: all 100 rows, whatever the
// screen size); "screen" repaints the window on the screen (the rows that fit on it).

#include <windows.h>
// The common controls and COM need windows.h first.
#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>

#include "griditems/AddRowItem.h"
#include "griditems/EditItem.h"
#include "griditems/ItemDrawing.h"
#include "griditems/LabelItem.h"
#include "griditems/ListItem.h"
#include "grid/PropertyGrid.h"
#include "win/Reflection.h"
#include "win/ScopedVariant.h"
#include "win/UniqueHandle.h"

namespace {

constexpr int kRows = 100;
constexpr int kColumns = 6;
constexpr int kWidth = 820;
constexpr int kFullHeight = 2200;  // room for every row when printed
const wchar_t* const kTimesOfDay[] = {L"Рассвет", L"День", L"Закат", L"Ночь", nullptr};

// Stands in for the frame: reflects the controls' notifications back to them.
class BenchParent : public Window {
 protected:
  bool HandleMessage(Message& m) override { return ReflectNotification(m) || Window::HandleMessage(m); }
};

class DocumentGrid : public PropertyGrid {
 public:
  void SetExFlags(UINT flags) {
    drawInfo.exFlags = flags;
    SendMessageW(Handle(), WM_SETTINGCHANGE, 0, 0);
  }
};

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double TimeIt(const std::function<void()>& work) {
  double start = Now();
  work();
  return Now() - start;
}

std::wstring CellText(int row, int col) {
  switch (col) {
    case 0:
      return std::to_wstring(row);
    case 1:
      return L"ambient\\forest_night_" + std::to_wstring(row) + L".wav";
    case 2:
      return std::to_wstring(1000 + row * 10);
    case 3:
      return std::to_wstring(5000 + row * 10);
    case 4:
      return kTimesOfDay[row % 4];
    default:
      return std::to_wstring(row % 101);
  }
}

void InsertColumns(HWND list) {
  for (int i = 0; i < kColumns; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = i == 0 ? 50 : 150;
    column.pszText = const_cast<wchar_t*>(L"column");
    column.iSubItem = i;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
  }
}

// The items a loaded document puts in one row.
void FillGridRow(PropertyGrid& grid, int row) {
  auto* label = new LabelItem(L"", 0, kValueFormat);
  ScopedVariant number;
  number.get()->vt = VT_I4;
  number.get()->lVal = row;
  label->SetValue(*number);
  grid.InsertRow(row, label);
  grid.SetCell(row, 1, CreateTextItem(L"", CellText(row, 1).c_str(), 0));
  grid.SetCell(row, 2, CreateNumberItem(L"", 1000 + row * 10, 0));
  grid.SetCell(row, 3, CreateNumberItem(L"", 5000 + row * 10, 0));
  auto* time = new ListItem(L"", 0);
  time->SetOptions(kTimesOfDay);
  number.get()->lVal = row % 4;
  time->SetValue(*number);
  grid.SetCell(row, 4, time);
  grid.SetCell(row, 5, CreateNumberItem(L"", row % 101, 0));
}

void FillListRow(HWND list, int row) {
  std::wstring text = CellText(row, 0);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = text.data();
  SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  for (int col = 1; col < kColumns; ++col) {
    text = CellText(row, col);
    item.iSubItem = col;
    item.pszText = text.data();
    SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
}

// Paints the whole client area of `hwnd` into a memory bitmap, as a paint would.
class PrintTarget {
 public:
  explicit PrintTarget(HWND hwnd) : hwnd_(hwnd) {
    RECT client;
    GetClientRect(hwnd, &client);
    HDC screen = GetDC(nullptr);
    dc_.reset(CreateCompatibleDC(screen));
    bitmap_.reset(CreateCompatibleBitmap(screen, client.right, client.bottom));
    ReleaseDC(nullptr, screen);
    previous_ = SelectObject(dc_.get(), bitmap_.get());
  }
  ~PrintTarget() { SelectObject(dc_.get(), previous_); }
  void Paint() {
    SendMessageW(hwnd_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_.get()), PRF_CLIENT | PRF_ERASEBKGND);
  }

 private:
  HWND hwnd_;
  UniqueMemoryDC dc_;
  UniqueBitmap bitmap_;
  HGDIOBJ previous_ = nullptr;
};

void ScreenRepaint(HWND hwnd) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

void Report(const char* what, double grid, double list) {
  std::printf("%-28s grid %9.3f ms   list view %9.3f ms   ratio %5.2f\n", what, grid, list, grid / list);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int repaints = argc > 1 ? _wtoi(argv[1]) : 100;
  if (repaints <= 0) repaints = 100;
  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);

  BenchParent parent;
  RECT frame{0, 0, kWidth * 2 + 20, kFullHeight};
  parent.Create(RegisterWindowClass(L"Sonarwick_BenchParent"), nullptr, frame, L"grid bench",
                WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
  const DWORD childStyle =
      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | LVS_REPORT | LVS_NOSORTHEADER | LVS_SHOWSELALWAYS;

  auto grid = std::make_unique<DocumentGrid>();
  grid->Create(parent.Handle(), RECT{0, 0, kWidth, kFullHeight}, childStyle);
  InsertColumns(grid->Handle());
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", childStyle, kWidth + 10, 0, kWidth, kFullHeight,
                              parent.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  InsertColumns(list);

  double gridFill = TimeIt([&] {
    grid->InsertRow(0, new AddRowItem(L"", 0));
    grid->SetExFlags(GRID_EX_APPENDROW | GRID_EX_ROWHIGHLIGHT | GRID_EX_SINGLECLICKEDIT);
    for (int row = 0; row < kRows; ++row) FillGridRow(*grid, row);
  });
  double listFill = TimeIt([&] {
    for (int row = 0; row < kRows; ++row) FillListRow(list, row);
  });
  // A selected row, as the user has one.
  grid->SelectCell(3, 2);
  ListView_SetItemState(list, 3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  Pump();

  PrintTarget gridTarget(grid->Handle()), listTarget(list);
  double gridFull = 0, listFull = 0, gridScreen = 0, listScreen = 0;
  // Warm up both, then alternate in blocks so that drift of the machine hits both alike.
  gridTarget.Paint();
  listTarget.Paint();
  constexpr int kBlocks = 10;
  int perBlock = (repaints + kBlocks - 1) / kBlocks;
  for (int block = 0; block < kBlocks; ++block) {
    gridFull += TimeIt([&] {
      for (int i = 0; i < perBlock; ++i) gridTarget.Paint();
    });
    listFull += TimeIt([&] {
      for (int i = 0; i < perBlock; ++i) listTarget.Paint();
    });
    gridScreen += TimeIt([&] {
      for (int i = 0; i < perBlock; ++i) ScreenRepaint(grid->Handle());
    });
    listScreen += TimeIt([&] {
      for (int i = 0; i < perBlock; ++i) ScreenRepaint(list);
    });
  }
  int total = perBlock * kBlocks;
  std::printf("%d rows x %d columns, %d repaints each\n", kRows, kColumns, total);
  Report("fill", gridFill, listFill);
  Report("full repaint (per paint)", gridFull / total, listFull / total);
  Report("screen repaint (per paint)", gridScreen / total, listScreen / total);
  std::printf("GDI objects alive: fonts %ld, pens %ld, brushes %ld\n", LiveHandleCount(HandleKind::Font),
              LiveHandleCount(HandleKind::Pen), LiveHandleCount(HandleKind::Brush));

  grid.reset();
  DestroyWindow(list);
  CoUninitialize();
  return 0;
}
