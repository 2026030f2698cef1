// The entry-command benchmark's baseline: the least a program does to show a .bad file. One
// top-level window holding a plain report list view (common controls 6, six columns); after
// the window shows it reads the file named on its command line and fills the list between
// WM_SETREDRAW FALSE and TRUE, one item and five sub-item texts per entry.
//
//   plain_list_view.exe [file.bad]
//
// A private message swaps the texts of two rows, the plain program's counterpart of an entry
// command: SendMessage(window, PlainSwapRowsMessage, row, otherRow).

#include <windows.h>
// The common controls need windows.h first.
#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <string>

#include "PlainListView.h"
#include "format/AmbientFileIo.h"
#include "format/TimeOfDay.h"

namespace {

constexpr int kColumnCount = 6;
constexpr int kTextLength = 260;

HWND ListOf(HWND window) { return GetWindow(window, GW_CHILD); }

void AddColumns(HWND list) {
  constexpr std::array<const wchar_t*, kColumnCount> titles = {L"No.", L"Audio file", L"Min repeat, ms",
                                                               L"Max repeat, ms", L"Time of day", L"Volume"};
  constexpr std::array<int, kColumnCount> widths = {40, 220, 110, 110, 100, 80};
  for (int column = 0; column < kColumnCount; ++column) {
    LVCOLUMNW format{};
    format.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    format.pszText = const_cast<wchar_t*>(titles[static_cast<size_t>(column)]);
    format.cx = widths[static_cast<size_t>(column)];
    format.iSubItem = column;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&format));
  }
}

void SetText(HWND list, int row, int column, const std::wstring& text) {
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::wstring GetText(HWND list, int row, int column) {
  wchar_t text[kTextLength]{};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = kTextLength;
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return text;
}

void AddRow(HWND list, int row, const AmbientEntryValues& entry) {
  const std::wstring number = std::to_wstring(row + 1);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = const_cast<wchar_t*>(number.c_str());
  SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  SetText(list, row, 1, entry.audioFile.value_or(L""));
  SetText(list, row, 2, std::to_wstring(entry.minRepeatMs));
  SetText(list, row, 3, std::to_wstring(entry.maxRepeatMs));
  SetText(list, row, 4, TimeOfDayCaptions[static_cast<size_t>(TimeOfDayFromByte(entry.timeOfDay))]);
  SetText(list, row, 5, std::to_wstring(entry.volume));
}

void Fill(HWND list, const std::wstring& path) {
  const AmbientLoadResult loaded = LoadAmbientFile(path);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  for (size_t row = 0; row < loaded.entries.size(); ++row) AddRow(list, static_cast<int>(row), loaded.entries[row]);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

// The row numbers stay where they are; the entries' texts change places.
void SwapRows(HWND list, int row, int otherRow) {
  for (int column = 1; column < kColumnCount; ++column) {
    const std::wstring text = GetText(list, row, column);
    SetText(list, row, column, GetText(list, otherRow, column));
    SetText(list, otherRow, column, text);
  }
}

// What a plain program does for a row going out or in: the list view's own delete or insert,
// and the numbers of the rows below written again.
void Renumber(HWND list, int from) {
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = from; row < count; ++row) SetText(list, row, 0, std::to_wstring(row + 1));
}

void DeleteRow(HWND list, int row) {
  SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
  Renumber(list, row);
}

void DuplicateRow(HWND list, int row) {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row + 1;
  item.pszText = const_cast<wchar_t*>(L"");
  SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  for (int column = 1; column < kColumnCount; ++column) SetText(list, row + 1, column, GetText(list, row, column));
  Renumber(list, row + 1);
}

LRESULT CALLBACK PlainWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: {
      HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS,
                                  0, 0, 0, 0, hwnd, nullptr, nullptr, nullptr);
      SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
      AddColumns(list);
      return 0;
    }
    case WM_SIZE:
      MoveWindow(ListOf(hwnd), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case PlainSwapRowsMessage:
      SwapRows(ListOf(hwnd), static_cast<int>(wParam), static_cast<int>(lParam));
      return 0;
    case PlainDeleteRowMessage:
      DeleteRow(ListOf(hwnd), static_cast<int>(wParam));
      return 0;
    case PlainDuplicateRowMessage:
      DuplicateRow(ListOf(hwnd), static_cast<int>(wParam));
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = PlainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = PlainListViewClassName;
  RegisterClassExW(&windowClass);
  HWND hwnd = CreateWindowExW(0, windowClass.lpszClassName, L"Plain list view", WS_OVERLAPPEDWINDOW,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                              instance, nullptr);
  if (hwnd == nullptr) return 0;
  ShowWindow(hwnd, showCommand);
  UpdateWindow(hwnd);

  int argumentCount = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &argumentCount);
  if (arguments != nullptr && argumentCount > 1) Fill(ListOf(hwnd), arguments[1]);
  LocalFree(arguments);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
