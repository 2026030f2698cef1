#include "grid/CellToolTip.h"

#include <commctrl.h>

#include "griditems/ItemDrawing.h"
#include "win/DeviceContext.h"

CellToolTip::~CellToolTip() { Destroy(); }

void CellToolTip::Create(HWND grid) {
  Destroy();
  tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, grid, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
  if (tip_ == nullptr) return;
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  // The grid relays its mouse messages (Relay): a subclassed grid would route every message it
  // gets through the common controls' subclass dispatcher.
  tool.uFlags = TTF_IDISHWND | TTF_TRANSPARENT;
  tool.hwnd = grid;
  tool.uId = reinterpret_cast<UINT_PTR>(grid);
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CellToolTip::Destroy() {
  if (tip_ != nullptr && IsWindow(tip_)) DestroyWindow(tip_);
  tip_ = nullptr;
  row_ = col_ = -1;
}

void CellToolTip::Track(int row, int col) {
  if (row == row_ && col == col_) return;
  row_ = row;
  col_ = col;
  // The tip may show again over the new cell, with that cell's text.
  if (tip_ != nullptr) SendMessageW(tip_, TTM_POP, 0, 0);
}

void CellToolTip::Relay(HWND grid, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (tip_ == nullptr) return;
  MSG relayed{};
  relayed.hwnd = grid;
  relayed.message = msg;
  relayed.wParam = wParam;
  relayed.lParam = lParam;
  relayed.time = static_cast<DWORD>(GetMessageTime());
  DWORD position = GetMessagePos();
  relayed.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void CellToolTip::SupplyText(NMHDR* header, std::wstring text) {
  text_ = std::move(text);
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
  info->hinst = nullptr;
  info->lpszText = text_.data();
}

bool CellTextFits(HWND grid, HFONT font, const std::wstring& text, int cellWidth) {
  WindowDcScope dc(grid);
  SelectionScope selection(dc.dc(), font);
  SIZE extent{};
  GetTextExtentPoint32W(dc.dc(), text.c_str(), static_cast<int>(text.size()), &extent);
  RECT cell{0, 0, cellWidth, 0};
  RECT room = TextRect(cell);
  return extent.cx <= room.right - room.left;
}
