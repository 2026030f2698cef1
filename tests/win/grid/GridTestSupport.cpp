#include "GridTestSupport.h"

#include <climits>
#include <string>

#include "WinTestSupport.h"
#include "griditems/AddRowItem.h"
#include "griditems/ItemDrawing.h"
#include "griditems/LabelItem.h"
#include "griditems/ListItem.h"
#include "win/Reflection.h"
#include "win/ScopedVariant.h"

const wchar_t* const kTimesOfDay[] = {L"Рассвет", L"День", L"Закат", L"Ночь", nullptr};

HWND TestParent::Create() {
  RECT rect{0, 0, 900, 500};
  return Window::Create(RegisterWindowClass(L"Sonarwick_GridTestParent"), nullptr, rect, L"grid test",
                        WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
}

void TestParent::Reset() {
  reflect = true;
  changingAnswer = 0;
  clickAnswer = 0;
  font = nullptr;
  notifications.clear();
  nextControlRequests.clear();
}

TestParent& SharedParent() {
  static TestParent* parent = [] {
    auto* created = new TestParent;
    created->Create();
    return created;
  }();
  return *parent;
}

std::vector<int> TestParent::Codes() const {
  std::vector<int> codes;
  for (const RecordedNotify& n : notifications) codes.push_back(n.code);
  return codes;
}

int TestParent::Count(int code) const {
  int count = 0;
  for (const RecordedNotify& n : notifications) count += n.code == code ? 1 : 0;
  return count;
}

bool TestParent::HandleMessage(Message& m) {
  if (m.msg == WM_GETFONT) {
    m.result = reinterpret_cast<LRESULT>(font);
    return true;
  }
  if (m.msg == WM_NEXTDLGCTL) {
    nextControlRequests.push_back(m.wParam);
    return true;
  }
  if (m.msg == WM_NOTIFY) {
    const auto* hdr = reinterpret_cast<const NMHDR*>(m.lParam);
    auto code = static_cast<int>(hdr->code);
    if (code <= GRIDN_SELCHANGED && code >= GRIDN_ADDROW) {
      notifications.push_back({code, reinterpret_cast<const GridNotify*>(m.lParam)->item});
      if (code == GRIDN_ITEMCHANGING && changingAnswer != 0) {
        m.result = changingAnswer;
        return true;
      }
      if (code == GRIDN_CLICK && clickAnswer != 0) {
        m.result = clickAnswer;
        return true;
      }
    }
  }
  if (reflect && ReflectNotification(m)) return true;
  return Window::HandleMessage(m);
}

std::map<int, int>& DestroyedItems() {
  static std::map<int, int> destroyed;
  return destroyed;
}

void InsertDocumentColumns(HWND grid) {
  const wchar_t* captions[] = {
      L"№",           L"Аудио-файл", L"Мин. время повтора, мс", L"Макс. время повтора, мс",
      L"Время суток", L"Громкость"};
  for (int i = 0; i < 6; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = i == 0 ? 50 : 140;
    column.pszText = const_cast<wchar_t*>(captions[i]);
    column.iSubItem = i;
    SendMessageW(grid, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
  }
}

int AddDocumentRow(PropertyGrid& grid, int index) {
  auto* label = new LabelItem(L"", 0, kValueFormat);
  label->SetValue(*VariantNumber(index));
  int row = grid.InsertRow(index, label);
  grid.SetCell(row, 1, CreateTextItem(L"", (L"sound" + std::to_wstring(index) + L".wav").c_str(), 0));
  grid.SetCell(row, 2, CreateNumberItem(L"", 1000 + index, 0));
  grid.SetCell(row, 3, CreateNumberItem(L"", 2000 + index, 0));
  auto* time = new ListItem(L"", 0);
  time->SetOptions(kTimesOfDay);
  time->SetValue(*VariantNumber(index % 4));
  grid.SetCell(row, 4, time);
  grid.SetCell(row, 5, CreateNumberItem(L"", 50 + index, 0));
  return row;
}

void GridFixtureWindows::Build(int rows, UINT flags) {
  parent.Reset();
  RECT client{};
  GetClientRect(parent.Handle(), &client);
  grid.Create(parent.Handle(), client,
              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | LVS_NOSORTHEADER | LVS_REPORT, 0,
              7);
  InsertDocumentColumns(grid.Handle());
  if (flags & GRID_EX_APPENDROW) grid.InsertRow(0, new AddRowItem(L"", 0));
  grid.SetExFlags(flags);
  for (int i = 0; i < rows; ++i) AddDocumentRow(grid, i);
  BringToFront(parent.Handle());
  SetFocus(grid.Handle());
  PumpMessages();
}

POINT GridFixtureWindows::CellCentre(int row, int col) const {
  RECT cell = Cell(row, col);
  return ClientToScreenPoint(grid.Handle(), (cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
}

LONG NumberValue(const PropertyItem& item) {
  ScopedVariant value;
  if (!item.GetValue(value.get()) || value->vt != VT_I4) return LONG_MIN;
  return value->lVal;
}
