#include "menubar/CommandBar.h"

#include "menubar/CommandBarOwnerHook.h"
#include "menubar/ThemeLibrary.h"

namespace {

const WindowClass* CommandBarClass() {
  return RegisterSuperclass(TOOLBARCLASSNAMEW, L"Sonarwick_CommandBar");
}

bool SystemFlag(UINT action) {
  BOOL value = FALSE;
  return SystemParametersInfoW(action, 0, &value, 0) && value;
}

}  // namespace

CommandBar::CommandBar() = default;

CommandBar::~CommandBar() {
  ownerHook_.reset();
  ReleaseMenuHook();
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
  OnSettingsChanged(true);
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
  loadedImagesInstance_ = instance;
  loadedImagesId_ = toolbarId;
  MenuImages loaded;
  if (!(imagesBitmapId_ != 0 ? loaded.Load(instance, toolbarId, imagesBitmapId_, imagesSize_)
                             : loaded.Load(instance, toolbarId)))
    return false;
  if (menu_) loaded.ApplyTo(menu_.get());
  // The previous images go only now that no item shows them any more.
  images_ = std::move(loaded);
  return true;
}

void CommandBar::LoadImagesOnFirstUse(HINSTANCE instance, UINT toolbarId) {
  pendingImagesInstance_ = instance;
  pendingImagesId_ = toolbarId;
}

void CommandBar::SetDpi(UINT dpi, UINT bitmapId, SIZE imageSize) {
  dpi_ = dpi;
  imagesBitmapId_ = bitmapId;
  imagesSize_ = imageSize;
  ApplyFont();
  if (pendingImagesInstance_ == nullptr && images_.Count() > 0 && loadedImagesInstance_ != nullptr)
    LoadImages(loadedImagesInstance_, loadedImagesId_);
}

void CommandBar::LoadPendingImages() {
  if (pendingImagesInstance_ != nullptr) LoadImages(pendingImagesInstance_, pendingImagesId_);
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
      OnSettingsChanged(true);
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

// The frame's own WM_DESTROY may be what destroys the bar, with the hook's dispatch of it still
// on the stack: the hook lets go of the frame now and is freed with the bar.
void CommandBar::OnDestroy() {
  if (tracking_) EndMenu();
  if (ownerHook_ != nullptr) ownerHook_->RemoveSubclass();
}

// A change that touches nothing the bar draws with (the work area, another program's
// broadcast) costs no repaint; new colours or a new theme always do.
void CommandBar::OnSettingsChanged(bool coloursChanged) {
  const bool themed = IsVisualStyleActive(), flatMenus = SystemFlag(SPI_GETFLATMENU),
             keyboardCues = SystemFlag(SPI_GETKEYBOARDCUES);
  const bool looksChanged =
      coloursChanged || themed != themed_ || flatMenus != flatMenus_ || keyboardCues != keyboardCues_;
  themed_ = themed;
  flatMenus_ = flatMenus;
  keyboardCues_ = keyboardCues;
  ApplyDrawTextFlags();
  // A new font repaints the bar and fits its band by itself.
  if (ApplyFont()) return;
  UpdateBand();
  if (looksChanged) InvalidateRect(Handle(), nullptr, TRUE);
}

HWND CommandBar::OwnerWindow() const { return GetAncestor(Handle(), GA_ROOT); }
