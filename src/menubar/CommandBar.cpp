#include "menubar/CommandBar.h"

#include <windowsx.h>

#include <string_view>

#include "menubar/MenuBarNavigation.h"
#include "menubar/ThemeLibrary.h"
#include "win/DeviceContext.h"

namespace {

// Posted to the bar to drop a popup once the keystroke that asked for it is fully handled.
constexpr UINT kOpenPopupMessage = WM_USER + 310;

// The bar whose popup this thread is tracking; the menu loop's message hook reports to it.
thread_local CommandBar* trackingBar = nullptr;

const WindowClass* CommandBarClass() {
  return RegisterSuperclass(TOOLBARCLASSNAMEW, L"Sonarwick_CommandBar");
}

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

bool SystemFlag(UINT action) {
  BOOL value = FALSE;
  return SystemParametersInfoW(action, 0, &value, 0) && value;
}

}  // namespace

// Watches the frame for the bar: answers MENUBAR_GET_WINDOW, takes the menu keys that the
// default processing turns into SC_KEYMENU, notes the item selected in an open popup, draws
// the items' images (the frame owns every popup while it is tracked, the bar's, the chevron's
// and its own), and passes on setting changes.
class CommandBar::OwnerHook : public Window {
 public:
  explicit OwnerHook(CommandBar& bar) : bar_(bar) {}

 protected:
  bool HandleMessage(Message& m) override {
    switch (m.msg) {
      case MENUBAR_GET_WINDOW:
        m.result = reinterpret_cast<LRESULT>(bar_.Handle());
        return true;
      case WM_SYSCOMMAND:
        if ((m.wParam & 0xFFF0) == SC_KEYMENU && bar_.OnKeyMenu(m.lParam)) return true;
        break;
      case WM_MENUSELECT:
        bar_.OnMenuSelect(m.wParam, m.lParam);
        break;
      case WM_SETTINGCHANGE:
      case WM_SYSCOLORCHANGE:
        bar_.OnSettingsChanged();
        break;
      case WM_ACTIVATE:
        // Keyboard access to the bar ends when the frame goes to the background.
        if (LOWORD(m.wParam) == WA_INACTIVE && bar_.keyboardMode_ && !bar_.tracking_)
          bar_.LeaveKeyboardMode(false);
        break;
      case WM_MEASUREITEM:
        if (m.lParam != 0 && bar_.images_.Measure(*reinterpret_cast<MEASUREITEMSTRUCT*>(m.lParam))) {
          m.result = TRUE;
          return true;
        }
        break;
      case WM_DRAWITEM:
        if (m.lParam != 0 && bar_.images_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam))) {
          m.result = TRUE;
          return true;
        }
        break;
      default:
        break;
    }
    return Window::HandleMessage(m);
  }

 private:
  CommandBar& bar_;
};

CommandBar::CommandBar() = default;

CommandBar::~CommandBar() {
  ownerHook_.reset();
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  if (trackingBar == this) trackingBar = nullptr;
}

HWND CommandBar::Create(HWND parent, const RECT& rect, DWORD style, UINT id) {
  HWND hwnd = Window::Create(CommandBarClass(), parent, rect, nullptr, style, 0,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
  if (hwnd == nullptr) return nullptr;
  SendMessageW(hwnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  // Text-only buttons: no room for images beside the popup names.
  SendMessageW(hwnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
  HWND owner = OwnerWindow();
  if (owner != nullptr && owner != hwnd) {
    ownerHook_ = std::make_unique<OwnerHook>(*this);
    if (!ownerHook_->Subclass(owner)) ownerHook_.reset();
  }
  OnSettingsChanged();
  return hwnd;
}

bool CommandBar::AttachMenu(HMENU menu) {
  menu_.reset(menu);
  if (menu != nullptr) images_.ApplyTo(menu);
  RebuildButtons();
  return menu != nullptr && IsMenu(menu);
}

bool CommandBar::LoadImages(HINSTANCE instance, UINT toolbarId) {
  pendingImagesInstance_ = nullptr;
  MenuImages loaded;
  if (!loaded.Load(instance, toolbarId)) return false;
  if (menu_) loaded.ApplyTo(menu_.get());
  // The previous images go only now that no item shows them any more.
  images_ = std::move(loaded);
  return true;
}

void CommandBar::LoadImagesOnFirstUse(HINSTANCE instance, UINT toolbarId) {
  pendingImagesInstance_ = instance;
  pendingImagesId_ = toolbarId;
}

void CommandBar::LoadPendingImages() {
  if (pendingImagesInstance_ != nullptr) LoadImages(pendingImagesInstance_, pendingImagesId_);
}

bool CommandBar::TranslateMenuKey(const MSG& msg) {
  constexpr LPARAM kAltDown = 1 << 29;
  if (keyboardMode_ && !tracking_ && TranslateKeyboardModeMessage(msg)) return true;
  if (msg.message != WM_SYSCHAR || (msg.lParam & kAltDown) == 0 || Handle() == nullptr) return false;
  HWND owner = OwnerWindow();
  if (msg.hwnd != owner && !IsChild(owner, msg.hwnd)) return false;
  return OnKeyMenu(static_cast<LPARAM>(msg.wParam));
}

// The keyboard is in the bar but the focus stays where it was (an open cell editor keeps its
// text and caret), so the bar takes its keys here, before they reach the focused window.
bool CommandBar::TranslateKeyboardModeMessage(const MSG& msg) {
  HWND owner = OwnerWindow();
  if (msg.hwnd != owner && !IsChild(owner, msg.hwnd)) return false;
  switch (msg.message) {
    case WM_KEYDOWN:
      // Keys the bar has no use for still make their characters, which may be mnemonics.
      if (!OnKeyboardModeKey(msg.wParam)) TranslateMessage(&msg);
      return true;
    case WM_CHAR:
      OnKeyboardModeChar(msg.wParam);
      return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
      // A click anywhere ends keyboard access to the bar and then goes on as usual.
      LeaveKeyboardMode(false);
      return false;
    default:
      return false;
  }
}

LRESULT CommandBar::TrackPopup(const MenuBarTrackPopup& request) {
  if (request.size != sizeof(MenuBarTrackPopup) || !IsMenu(request.menu) || tracking_) return 0;
  LoadPendingImages();
  tracking_ = true;
  BOOL result =
      TrackPopupMenuEx(request.menu, request.flags, request.x, request.y, OwnerWindow(), request.exclusion);
  tracking_ = false;
  return result;
}

bool CommandBar::HandleMessage(Message& m) {
  switch (m.msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (OnLeftButtonDown(m)) return true;
      break;
    case WM_KEYDOWN:
      if (OnKeyDown(m)) return true;
      break;
    case WM_CHAR:
      if (OnChar(m)) return true;
      break;
    case WM_KILLFOCUS:
      OnKillFocus();
      break;
    case kOpenPopupMessage:
      return OnOpenPopup(m);
    case MENUBAR_GET_MENU:
      m.result = reinterpret_cast<LRESULT>(menu_.get());
      return true;
    case MENUBAR_TRACK_POPUP:
      m.result = m.lParam == 0 ? 0 : TrackPopup(*reinterpret_cast<const MenuBarTrackPopup*>(m.lParam));
      return true;
    case WM_THEMECHANGED:
      OnSettingsChanged();
      break;
    case REFLECT_BASE + WM_NOTIFY:
      if (OnReflectedNotify(m)) return true;
      break;
    case WM_DESTROY:
      OnDestroy();
      break;
    default:
      break;
  }
  return Window::HandleMessage(m);
}

bool CommandBar::OnLeftButtonDown(Message& m) {
  POINT point{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
  int index = static_cast<int>(SendMessageW(m.hwnd, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
  if (index < 0 || index >= ButtonCount() || !UsableButtons()[static_cast<size_t>(index)]) return false;
  // Tracked right here, while the button is still down, so that press-drag-release chooses.
  RunPopups(index, false);
  return true;
}

bool CommandBar::OnKeyDown(Message& m) { return keyboardMode_ && OnKeyboardModeKey(m.wParam); }

bool CommandBar::OnKeyboardModeKey(WPARAM key) {
  switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
      SetHotButton(StepButtonIndex(HotButton(), key == VK_LEFT ? -1 : 1, UsableButtons()));
      return true;
    case VK_DOWN:
    case VK_UP:
    case VK_RETURN:
      PostOpenPopup(HotButton());
      return true;
    case VK_ESCAPE:
      LeaveKeyboardMode(true);
      return true;
    default:
      return false;
  }
}

bool CommandBar::OnChar(Message& m) {
  if (!keyboardMode_) return false;
  OnKeyboardModeChar(m.wParam);
  return true;
}

void CommandBar::OnKeyboardModeChar(WPARAM character) {
  int index = FindMnemonic(texts_, static_cast<wchar_t>(character));
  if (index >= 0 && UsableButtons()[static_cast<size_t>(index)]) {
    PostOpenPopup(index);
  } else if (character != VK_ESCAPE && character != VK_RETURN) {
    MessageBeep(0);
  }
}

void CommandBar::OnKillFocus() {
  // Focus taken elsewhere (a click into the document) ends keyboard access to the bar; the
  // popups themselves never take the focus.
  if (keyboardMode_ && !tracking_) LeaveKeyboardMode(false);
}

bool CommandBar::OnOpenPopup(Message& m) {
  int index = static_cast<int>(m.wParam);
  if (index < 0 || index >= ButtonCount() || tracking_) return true;
  RunPopups(index, m.lParam != 0);
  return true;
}

bool CommandBar::OnReflectedNotify(Message& m) {
  auto* header = reinterpret_cast<NMHDR*>(m.lParam);
  if (header == nullptr || header->hwndFrom != Handle() || header->code != NM_CUSTOMDRAW) return false;
  m.result = OnCustomDraw(*reinterpret_cast<NMTBCUSTOMDRAW*>(m.lParam));
  return true;
}

// The frame's own WM_DESTROY may be what destroys the bar, with the hook's dispatch of it still
// on the stack: the hook lets go of the frame now and is freed with the bar.
void CommandBar::OnDestroy() {
  if (tracking_) EndMenu();
  if (ownerHook_ != nullptr) ownerHook_->RemoveSubclass();
}

bool CommandBar::OnKeyMenu(LPARAM character) {
  if (tracking_ || ButtonCount() == 0) return false;
  if (character == 0) {
    // Alt alone or F10: in, or out again.
    if (keyboardMode_) {
      LeaveKeyboardMode(true);
    } else {
      EnterKeyboardMode(StepButtonIndex(-1, 1, UsableButtons()));
    }
    return true;
  }
  if (character == L' ') {
    // Alt+Space is the system menu's; the bar steps aside for it.
    if (keyboardMode_) LeaveKeyboardMode(true);
    return false;
  }
  int index = FindMnemonic(texts_, static_cast<wchar_t>(character));
  if (index < 0 || !UsableButtons()[static_cast<size_t>(index)]) return false;
  if (!keyboardMode_) EnterKeyboardMode(index);
  PostOpenPopup(index);
  return true;
}

void CommandBar::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
  if (!tracking_) return;
  UINT flags = HIWORD(wParam);
  selectedMenu_ = reinterpret_cast<HMENU>(lParam);
  selectedIsPopup_ = flags != 0xFFFF && (flags & MF_POPUP) != 0;
}

void CommandBar::OnSettingsChanged() {
  themed_ = IsVisualStyleActive();
  flatMenus_ = SystemFlag(SPI_GETFLATMENU);
  keyboardCues_ = SystemFlag(SPI_GETKEYBOARDCUES);
  ApplyFont();
  ApplyDrawTextFlags();
  InvalidateRect(Handle(), nullptr, TRUE);
}

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
    band.fMask = RBBIM_CHILD;
    if (!SendMessageW(rebar, RB_GETBANDINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&band)) ||
        band.hwndChild != Handle()) {
      continue;
    }
    BandSize size = MeasureBand();
    band.fMask = RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_IDEALSIZE;
    band.cx = band.cxIdeal = static_cast<UINT>(size.width);
    band.cxMinChild = static_cast<UINT>(size.minWidth);
    band.cyMinChild = static_cast<UINT>(size.minHeight);
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

void CommandBar::ApplyFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return;
  UniqueFont font(CreateFontIndirectW(&metrics.lfMenuFont));
  if (!font) return;
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  font_ = std::move(font);
  SendMessageW(Handle(), TB_AUTOSIZE, 0, 0);
  UpdateBand();
}

void CommandBar::ApplyDrawTextFlags() {
  // Mnemonic underlines show while the keyboard is in the bar, or always when the user
  // asked for keyboard cues.
  SendMessageW(Handle(), TB_SETDRAWTEXTFLAGS, DT_HIDEPREFIX, ShowsPrefixes() ? 0 : DT_HIDEPREFIX);
}

LRESULT CommandBar::OnCustomDraw(NMTBCUSTOMDRAW& draw) {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT || themed_) return CDRF_DODEFAULT;
  bool lit = (draw.nmcd.uItemState & (CDIS_HOT | CDIS_SELECTED | CDIS_CHECKED)) != 0;
  bool grayed = (draw.nmcd.uItemState & CDIS_DISABLED) != 0;
  size_t index = static_cast<size_t>(draw.nmcd.dwItemSpec) - kFirstButtonId;
  if (!lit || grayed || index >= texts_.size()) {
    draw.clrText = GetSysColor(grayed ? COLOR_GRAYTEXT : COLOR_MENUTEXT);
    return CDRF_DODEFAULT;
  }
  DrawLitButton(draw.nmcd.hdc, draw.nmcd.rc, texts_[index]);
  return CDRF_SKIPDEFAULT;
}

void CommandBar::DrawLitButton(HDC dc, const RECT& rect, const std::wstring& text) const {
  // Classic look: the open or hot popup name is lit like a selected menu item, flat without
  // the toolbar's raised or sunken edge.
  FillRect(dc, &rect, GetSysColorBrush(flatMenus_ ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT));
  SelectionScope font(dc, font_.get());
  int oldMode = SetBkMode(dc, TRANSPARENT);
  COLORREF oldColour = SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
  RECT textRect = rect;
  UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | (ShowsPrefixes() ? 0 : DT_HIDEPREFIX);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect, format);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
}

bool CommandBar::ShowsPrefixes() const { return keyboardMode_ || keyboardCues_; }

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

HWND CommandBar::OwnerWindow() const { return GetAncestor(Handle(), GA_ROOT); }

void CommandBar::EnterKeyboardMode(int hotIndex) {
  if (!keyboardMode_) {
    keyboardMode_ = true;
    // The focus stays where it is; the frame's message filter hands the bar its keys.
    HWND focus = GetFocus();
    focusBeforeKeyboardMode_ = focus != Handle() ? focus : nullptr;
    ApplyDrawTextFlags();
  }
  SetHotButton(hotIndex);
}

void CommandBar::LeaveKeyboardMode(bool restoreFocus) {
  keyboardMode_ = false;
  SetHotButton(-1);
  ApplyDrawTextFlags();
  HWND previous = focusBeforeKeyboardMode_;
  focusBeforeKeyboardMode_ = nullptr;
  if (!restoreFocus || GetFocus() != Handle()) return;
  SetFocus(previous != nullptr && IsWindow(previous) ? previous : OwnerWindow());
}

void CommandBar::SetHotButton(int index) {
  keyboardHot_ = index;
  SendMessageW(Handle(), TB_SETHOTITEM, static_cast<WPARAM>(index), 0);
}

int CommandBar::HotButton() const {
  // The mouse may have moved the toolbar's own hot item since the keyboard set it.
  int hot = static_cast<int>(SendMessageW(Handle(), TB_GETHOTITEM, 0, 0));
  return hot >= 0 ? hot : keyboardHot_;
}

void CommandBar::PostOpenPopup(int index) {
  if (index >= 0) PostMessageW(Handle(), kOpenPopupMessage, static_cast<WPARAM>(index), TRUE);
}

void CommandBar::RunPopups(int index, bool selectFirstItem) {
  if (tracking_ || !menu_) return;
  tracking_ = true;
  GetCursorPos(&lastMousePoint_);
  int next = index;
  bool byKeyboard = selectFirstItem;
  bool escaped = false;
  int last = index;
  while (next >= 0 && Handle() != nullptr) {
    last = next;
    switchTo_ = -1;
    TrackButtonPopup(next, byKeyboard);
    escaped = escapeClosed_;
    next = switchTo_;
    byKeyboard = switchByKeyboard_;
  }
  tracking_ = false;
  if (Handle() == nullptr) return;
  // Escape steps back from the popup to its button; any other ending (a command, a click
  // elsewhere) leaves the bar.
  if (escaped) {
    EnterKeyboardMode(last);
  } else if (keyboardMode_) {
    LeaveKeyboardMode(true);
  } else {
    SetHotButton(-1);
  }
}

void CommandBar::TrackButtonPopup(int index, bool selectFirstItem) {
  HMENU popup = GetSubMenu(menu_.get(), index);
  if (popup == nullptr) return;
  LoadPendingImages();
  HWND hwnd = Handle();
  openIndex_ = index;
  openPopup_ = popup;
  selectedMenu_ = nullptr;
  selectedIsPopup_ = false;
  escapeClosed_ = false;
  if (keyboardMode_) SetHotButton(index);
  SendMessageW(hwnd, TB_PRESSBUTTON, kFirstButtonId + static_cast<WPARAM>(index), TRUE);
  UpdateWindow(hwnd);
  // A popup opened from the keyboard starts with its first item selected, as the menu loop
  // does for a Down key waiting in the queue.
  if (selectFirstItem) PostMessageW(hwnd, WM_KEYDOWN, VK_DOWN, 0);

  RECT button = ButtonScreenRect(index);
  TPMPARAMS exclusion{sizeof(exclusion), button};
  trackingBar = this;
  hook_ = SetWindowsHookExW(WH_MSGFILTER, MenuMessageHook, nullptr, GetCurrentThreadId());
  TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL | TPM_LEFTBUTTON, button.left,
                   button.bottom, OwnerWindow(), &exclusion);
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
  trackingBar = nullptr;

  if (Handle() == nullptr) return;
  SendMessageW(hwnd, TB_PRESSBUTTON, kFirstButtonId + static_cast<WPARAM>(index), FALSE);
  openIndex_ = -1;
  openPopup_ = nullptr;
  UpdateWindow(hwnd);
}

LRESULT CALLBACK CommandBar::MenuMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_MENU && trackingBar != nullptr &&
      trackingBar->OnMenuInput(*reinterpret_cast<MSG*>(lParam))) {
    return TRUE;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool CommandBar::OnMenuInput(const MSG& msg) {
  switch (msg.message) {
    case WM_MOUSEMOVE:
      return OnMenuMouseMove(msg);
    case WM_LBUTTONDOWN:
      return OnMenuLeftButtonDown(msg);
    case WM_KEYDOWN:
      return OnMenuKeyDown(msg);
    default:
      return false;
  }
}

bool CommandBar::OnMenuMouseMove(const MSG& msg) {
  // Only a real move counts: the pointer resting on one button must not pull the popup
  // back after the keyboard switched away from it.
  if (msg.pt.x == lastMousePoint_.x && msg.pt.y == lastMousePoint_.y) return false;
  lastMousePoint_ = msg.pt;
  int index = ButtonAtScreenPoint(msg.pt);
  if (index < 0 || index == openIndex_ || !UsableButtons()[static_cast<size_t>(index)]) return false;
  SwitchTo(index, false);
  return true;
}

bool CommandBar::OnMenuLeftButtonDown(const MSG& msg) {
  int index = ButtonAtScreenPoint(msg.pt);
  if (index < 0) return false;
  // A click on the open popup's own button closes it; the click is used up so that the
  // button does not open the popup again.
  if (index == openIndex_ || !UsableButtons()[static_cast<size_t>(index)]) {
    EndMenu();
    return true;
  }
  SwitchTo(index, false);
  return true;
}

bool CommandBar::OnMenuKeyDown(const MSG& msg) {
  bool inTopPopup = selectedMenu_ == nullptr || selectedMenu_ == openPopup_;
  switch (msg.wParam) {
    case VK_LEFT:
      if (!inTopPopup) return false;  // Left closes a cascaded submenu first
      SwitchTo(StepButtonIndex(openIndex_, -1, UsableButtons()), true);
      return true;
    case VK_RIGHT:
      if (selectedIsPopup_) return false;  // Right opens the selected submenu
      SwitchTo(StepButtonIndex(openIndex_, 1, UsableButtons()), true);
      return true;
    case VK_ESCAPE:
      if (inTopPopup) escapeClosed_ = true;
      return false;
    default:
      return false;
  }
}

void CommandBar::SwitchTo(int index, bool byKeyboard) {
  if (index < 0 || index == openIndex_) return;
  switchTo_ = index;
  switchByKeyboard_ = byKeyboard;
  EndMenu();
}
