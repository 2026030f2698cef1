#pragma once

#include <windows.h>

#include <string>

#include "tabs/TabPage.h"
#include "tabs/TabStrip.h"
#include "tabs/TabViewIds.h"
#include "win/Window.h"

// The main frame's client window: document windows ("pages") shown one at a time below a
// strip of tabs, a numbered list of them in the frame's "&Window" popup, Ctrl+Tab switching
// and reordering by dragging a tab. To the container a page is a window, a title and an
// opaque value; it owns the title and destroys the window when the page goes.
class TabView : public Window, private TabStripOwner {
 public:
  TabView() = default;
  // Destroys the window while this object is still whole, so its pages go the usual way.
  ~TabView() override;

  // The class to create the container with (registered on first use).
  static const WindowClass* Class();

  bool AddPage(HWND window, const wchar_t* title, int image, void* data);
  bool InsertPage(int index, HWND window, const wchar_t* title, int image, void* data);
  void RemovePage(int index);
  void RemoveAllPages();
  // Shows, lays out and focuses the page.
  void SetActivePage(int index);
  bool MovePage(int from, int to) override;

  int GetActivePage() const override { return activePage; }
  int GetPageCount() const;
  HWND GetPageWindow(int index) const;
  const wchar_t* GetPageTitle(int index) const;
  void* GetPageData(int index) const;
  bool SetPageTitle(int index, const wchar_t* title);
  // The unsaved mark after a page's title (" *"), on its tab and in the window list; the
  // title itself stays as given.
  bool SetPageMarked(int index, bool marked);
  bool IsPageMarked(int index) const;
  // The title as the tab and the window list show it, with the mark.
  std::wstring GetShownTitle(int index) const;

  // With more pages than the list shows, its last item (`moreLabel`, when given) opens the
  // list of all windows: command CMD_WINDOW_LIST_MORE.
  void AttachWindowMenu(HMENU menu, const wchar_t* moreLabel = nullptr);
  // Keyboard pre-translation for the message loop; true when `msg` was consumed.
  bool TranslatePageKeys(const MSG* msg);

  HWND GetTabStrip() const { return tabStrip.Handle(); }
  // Gives the tabs `font` (null: the default GUI font), for another display scale; the strip's
  // band takes the height the font needs. The caller keeps the font alive.
  void SetStripFont(HFONT font);
  // Where a page goes, in the container's client coordinates: a page made there, hidden, is
  // shown by AddPage without being sized or painted twice.
  RECT PageArea() const;

 protected:
  bool HandleMessage(Message& m) override;

 private:
  static constexpr int tabTextMax = 30;
  static constexpr int menuEntriesMax = 10;
  // A clipped title and the unsaved mark.
  static constexpr int tabTextRoom = tabTextMax + 3;

  static void TabText(const wchar_t* title, bool marked, wchar_t (&text)[tabTextRoom]);

  void OnCreate();
  bool OnNotify(Message& m);
  void OnSetFocus();
  void OnSettingsChanged(const Message& m);
  void ShowPage(int index, bool focusPage);
  void KeepFocusOnScreen();
  LRESULT PassToParent(const Message& m);

  bool ReadPage(int index, TabPage& page) const;
  void LayoutPages();
  // Counted: drawing is off from the first SetRedraw(false) to its matching SetRedraw(true).
  void SetRedraw(bool on);
  void RedrawAll();
  void RedrawEmpty();
  void RebuildWindowList();
  void NotifyPageActivated();
  // The parent hears of it as TABVIEW_CONTEXTMENU and opens the menu itself.
  void ShowTabContextMenu(int page, POINT screen) override;

  TabStrip tabStrip{*this};
  int tabHeight = 0;
  int activePage = -1;
  int redrawOffCount = 0;
  bool redrawPending = false;
  HMENU windowMenu = nullptr;
  std::wstring moreWindowsLabel;
};
