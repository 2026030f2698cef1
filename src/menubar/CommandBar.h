#pragma once

#include <windows.h>
// The common controls need the base types first.
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "menubar/MenuBarMessages.h"
#include "menubar/MenuImages.h"
#include "win/UniqueHandle.h"
#include "win/Window.h"

// The frame's menu bar: a toolbar with one button per top-level popup of the frame's menu.
// It drops the popups down below their buttons (the frame owns them while they are tracked,
// so WM_INITMENUPOPUP, WM_MENUSELECT and WM_COMMAND go to the frame as with a native menu),
// switches between them with the mouse and the arrow keys, and gives keyboard access with
// Alt, F10 and the mnemonics. Menu items whose commands have toolbar images show them; the
// bar draws them when the frame is asked to (WM_MEASUREITEM, WM_DRAWITEM for menus).
//
// The frame's cooperation: create the bar, AttachMenu, LoadImages (or LoadImagesOnFirstUse),
// remove the frame's own menu, and call TranslateMenuKey from its message filter.
//
// The bar watches its top-level window (the frame) through a subclass: it answers
// MENUBAR_GET_WINDOW there, takes Alt alone and F10, which the default processing of any
// focused window sends to the top-level window as SC_KEYMENU, and follows setting changes,
// which only top-level windows receive.
//
// Notifications the toolbar sends its parent (custom draw) must come back reflected; the
// frame reflects everything it does not handle.
class CommandBar : public Window {
 public:
  static constexpr DWORD kDefaultStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                                         CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN | TBSTYLE_FLAT |
                                         TBSTYLE_LIST;
  // Command id of the first button; button i has this id plus i.
  static constexpr int kFirstButtonId = 1;

  CommandBar();
  ~CommandBar() override;

  HWND Create(HWND parent, const RECT& rect = RECT{}, DWORD style = kDefaultStyle, UINT id = 0);

  // Takes over `menu` (the bar destroys it when it goes away) and builds one button per
  // top-level popup with the popup's text. The frame removes its own menu afterwards.
  bool AttachMenu(HMENU menu);
  HMENU GetMenu() const { return menu_.get(); }

  // Loads the toolbar resource and bitmap `toolbarId` and shows its images beside the menu
  // items with the same command ids.
  bool LoadImages(HINSTANCE instance, UINT toolbarId);
  // The same, left until a popup first opens: nobody sees the images before, and the window
  // shows sooner without making them.
  void LoadImagesOnFirstUse(HINSTANCE instance, UINT toolbarId);

  // ---- display scale ----
  // The font for `dpi` (the menu font of that scale), and the images from bitmap `bitmapId`
  // cut in `imageSize` pieces along the toolbar layout: now when they were loaded already,
  // else on first use as before.
  void SetDpi(UINT dpi, UINT bitmapId, SIZE imageSize);

  // Alt+letter reaches the frame's default processing only when the frame itself has the
  // focus, so the frame's message filter offers every message here before translating and
  // dispatching it; true when the bar took the message (it opened the popup with that
  // mnemonic). While the keyboard is in the bar (which never takes the focus), its keys and
  // characters are taken here too. Alt alone and F10 need nothing from the filter.
  bool TranslateMenuKey(const MSG& msg);

  // Tracks the record's popup with the frame as owner (the chevron uses it); answers what
  // TrackPopupMenuEx answered, or 0 for a record of the wrong size or without a menu.
  LRESULT TrackPopup(const MenuBarTrackPopup& request);

  // True while the keyboard is in the bar (after Alt, F10 or Escape from a popup).
  bool InKeyboardMode() const { return keyboardMode_; }

 protected:
  bool HandleMessage(Message& m) override;

 private:
  class OwnerHook;
  friend class OwnerHook;

  // Posted to the bar to drop a popup once the keystroke that asked for it is fully handled.
  static constexpr UINT kOpenPopupMessage = WM_USER + 310;

  static LRESULT CALLBACK MenuMessageHook(int code, WPARAM wParam, LPARAM lParam);

  // The window itself (CommandBar.cpp): lifetime, the menu and images, message dispatch.
  void OnDestroy();
  void OnSettingsChanged(bool coloursChanged);
  void LoadPendingImages();
  HWND OwnerWindow() const;

  // Keyboard access (CommandBarKeyboard.cpp): Alt, F10 and the mnemonics, and the keys of the
  // bar while the keyboard is in it.
  bool OnKeyMenu(LPARAM character);
  bool OnKeyDown(Message& m);
  bool OnChar(Message& m);
  bool TranslateKeyboardModeMessage(const MSG& msg);
  bool OnKeyboardModeKey(WPARAM key);
  void OnKeyboardModeChar(WPARAM character);
  void OnKillFocus();
  void EnterKeyboardMode(int hotIndex);
  void LeaveKeyboardMode(bool restoreFocus);
  void SetHotButton(int index);
  int HotButton() const;
  void PostOpenPopup(int index);

  // Popup tracking (CommandBarPopupTracking.cpp): the menu loop and its message hook.
  bool OnLeftButtonDown(Message& m);
  bool OnOpenPopup(Message& m);
  void OnMenuSelect(WPARAM wParam, LPARAM lParam);
  // Drops popup `index` and keeps switching while the user moves between buttons.
  void RunPopups(int index, bool selectFirstItem);
  void TrackButtonPopup(int index, bool selectFirstItem);
  // The menu loop's input, seen before the menu; true when the bar took it.
  bool OnMenuInput(const MSG& msg);
  bool OnMenuMouseMove(const MSG& msg);
  bool OnMenuLeftButtonDown(const MSG& msg);
  bool OnMenuKeyDown(const MSG& msg);
  void SwitchTo(int index, bool byKeyboard);
  // Takes the menu loop's message hook off, if it is still on.
  void ReleaseMenuHook();

  // Painting (CommandBarPainting.cpp): the lit popup name in the classic look and the
  // mnemonic underlines.
  bool OnReflectedNotify(Message& m);
  LRESULT OnCustomDraw(NMTBCUSTOMDRAW& draw);
  void DrawLitButton(HDC dc, const RECT& rect, const std::wstring& text) const;
  void ApplyDrawTextFlags();
  bool ShowsPrefixes() const;

  // Buttons (CommandBarButtons.cpp): one per popup, the font, the rebar band's extent, and
  // where the buttons are.
  struct BandSize {
    int width = 0;
    int minWidth = 0;
    int minHeight = 0;
  };
  void RebuildButtons();
  void UpdateBand();
  BandSize MeasureBand() const;
  // Whether the bar took a new font.
  bool ApplyFont();
  int ButtonCount() const;
  std::vector<bool> UsableButtons() const;
  int ButtonAtScreenPoint(POINT screen) const;
  RECT ButtonScreenRect(int index) const;

  // Declared before the menu so that the menu goes first and never asks for images that are
  // gone.
  MenuImages images_;
  UniqueMenu menu_;
  UniqueFont font_;
  LOGFONTW fontSource_{};
  std::vector<std::wstring> texts_;
  std::unique_ptr<OwnerHook> ownerHook_;

  bool themed_ = false;
  bool flatMenus_ = false;
  bool keyboardCues_ = false;

  bool keyboardMode_ = false;
  HWND focusBeforeKeyboardMode_ = nullptr;
  int keyboardHot_ = -1;

  // State of the popup being tracked.
  bool tracking_ = false;
  int openIndex_ = -1;
  HMENU openPopup_ = nullptr;
  int switchTo_ = -1;
  bool switchByKeyboard_ = false;
  bool escapeClosed_ = false;
  HMENU selectedMenu_ = nullptr;
  bool selectedIsPopup_ = false;
  POINT lastMousePoint_{};
  HHOOK hook_ = nullptr;

  HINSTANCE pendingImagesInstance_ = nullptr;
  UINT pendingImagesId_ = 0;
  // The scale the bar is drawn for (0: the system's) and the images made for it (bitmap 0:
  // the layout's own bitmap and size).
  UINT dpi_ = 0;
  HINSTANCE loadedImagesInstance_ = nullptr;
  UINT loadedImagesId_ = 0;
  UINT imagesBitmapId_ = 0;
  SIZE imagesSize_{};
};
