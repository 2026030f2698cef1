#include <cstring>
#include <string_view>

#include "menubar/CommandBar.h"
#include "win/Dpi.h"

namespace {

std::wstring TopLevelText(HMENU menu, int position) {
  wchar_t buffer[256] = {};
  MENUITEMINFOW item{};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_STRING;
  item.dwTypeData = buffer;
  item.cch = static_cast<UINT>(std::size(buffer));
  if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item)) return std::wstring();
  return buffer;
}

bool TopLevelGrayed(HMENU menu, int position) {
  UINT state = GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
  return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) != 0;
}

}  // namespace

void CommandBar::RebuildButtons() {
  HWND hwnd = Handle();
  if (hwnd == nullptr) return;
  SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
  for (int count = ButtonCount(); count > 0; --count) SendMessageW(hwnd, TB_DELETEBUTTON, count - 1, 0);
  texts_.clear();
  int popups = menu_ ? GetMenuItemCount(menu_.get()) : 0;
  for (int position = 0; position < popups; ++position) texts_.push_back(TopLevelText(menu_.get(), position));
  std::vector<TBBUTTON> buttons(texts_.size());
  for (size_t i = 0; i < texts_.size(); ++i) {
    buttons[i].iBitmap = I_IMAGENONE;
    buttons[i].idCommand = kFirstButtonId + static_cast<int>(i);
    buttons[i].fsState = TopLevelGrayed(menu_.get(), static_cast<int>(i)) ? 0 : TBSTATE_ENABLED;
    buttons[i].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    buttons[i].iString = reinterpret_cast<INT_PTR>(texts_[i].c_str());
  }
  if (!buttons.empty()) {
    SendMessageW(hwnd, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  }
  SendMessageW(hwnd, TB_AUTOSIZE, 0, 0);
  SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateBand();
}

void CommandBar::UpdateBand() {
  // Inside the frame's rebar the band was sized for the buttons as they were; new texts or a
  // new font change them.
  HWND rebar = GetParent(Handle());
  wchar_t name[32] = {};
  if (rebar == nullptr || GetClassNameW(rebar, name, 32) == 0 || std::wstring_view(name) != REBARCLASSNAMEW)
    return;
  int bands = static_cast<int>(SendMessageW(rebar, RB_GETBANDCOUNT, 0, 0));
  for (int index = 0; index < bands; ++index) {
    REBARBANDINFOW band{};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_IDEALSIZE;
    if (!SendMessageW(rebar, RB_GETBANDINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&band)) ||
        band.hwndChild != Handle()) {
      continue;
    }
    const BandSize size = MeasureBand();
    const auto width = static_cast<UINT>(size.width), minWidth = static_cast<UINT>(size.minWidth),
               minHeight = static_cast<UINT>(size.minHeight);
    // A band that fits already is left alone: setting it lays out and repaints the rebar.
    if (band.cx == width && band.cxIdeal == width && band.cxMinChild == minWidth && band.cyMinChild == minHeight)
      return;
    band.fMask = RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_IDEALSIZE;
    band.cx = band.cxIdeal = width;
    band.cxMinChild = minWidth;
    band.cyMinChild = minHeight;
    SendMessageW(rebar, RB_SETBANDINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&band));
    return;
  }
}

CommandBar::BandSize CommandBar::MeasureBand() const {
  int count = ButtonCount();
  if (count == 0) return BandSize{};
  RECT first{}, last{};
  SendMessageW(Handle(), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  SendMessageW(Handle(), TB_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&last));
  return BandSize{last.right, first.right, last.bottom - last.top};
}

// A new font means new button sizes and a new band; most settings changes keep the old one.
bool CommandBar::ApplyFont() {
  NONCLIENTMETRICSW metrics{};
  if (!NonClientMetricsForDpi(metrics, dpi_ != 0 ? dpi_ : SystemDpi())) return false;
  if (font_ && std::memcmp(&metrics.lfMenuFont, &fontSource_, sizeof(fontSource_)) == 0) return false;
  UniqueFont font(CreateFontIndirectW(&metrics.lfMenuFont));
  if (!font) return false;
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  font_ = std::move(font);
  fontSource_ = metrics.lfMenuFont;
  SendMessageW(Handle(), TB_AUTOSIZE, 0, 0);
  UpdateBand();
  return true;
}

int CommandBar::ButtonCount() const {
  return Handle() ? static_cast<int>(SendMessageW(Handle(), TB_BUTTONCOUNT, 0, 0)) : 0;
}

std::vector<bool> CommandBar::UsableButtons() const {
  std::vector<bool> usable(static_cast<size_t>(ButtonCount()));
  // Buttons the rebar clipped off are reached through its chevron, not the keyboard.
  bool hideClipped = (SendMessageW(Handle(), TB_GETEXTENDEDSTYLE, 0, 0) & TBSTYLE_EX_HIDECLIPPEDBUTTONS) != 0;
  RECT client{};
  GetClientRect(Handle(), &client);
  for (size_t i = 0; i < usable.size(); ++i) {
    LRESULT state = SendMessageW(Handle(), TB_GETSTATE, kFirstButtonId + static_cast<WPARAM>(i), 0);
    RECT button{};
    SendMessageW(Handle(), TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&button));
    bool clipped = hideClipped && button.right > client.right;
    usable[i] = state != -1 && (state & TBSTATE_ENABLED) != 0 && (state & TBSTATE_HIDDEN) == 0 && !clipped;
  }
  return usable;
}

int CommandBar::ButtonAtScreenPoint(POINT screen) const {
  if (WindowFromPoint(screen) != Handle()) return -1;
  ScreenToClient(Handle(), &screen);
  int index = static_cast<int>(SendMessageW(Handle(), TB_HITTEST, 0, reinterpret_cast<LPARAM>(&screen)));
  return index >= 0 && index < ButtonCount() ? index : -1;
}

RECT CommandBar::ButtonScreenRect(int index) const {
  RECT rect{};
  SendMessageW(Handle(), TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
  MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}
