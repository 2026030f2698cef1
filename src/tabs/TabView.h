#pragma once

#include <windows.h>

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

  void AttachWindowMenu(HMENU menu);
  // Keyboard pre-translation for the message loop; true when `msg` was consumed.
  bool TranslatePageKeys(const MSG* msg);

  HWND GetTabStrip() const { return tabStrip.Handle(); }
  // Where a page goes, in the container's client coordinates: a page made there, hidden, is
  // shown by AddPage without being sized or painted twice.
  RECT PageArea() const;

 protected:
  bool HandleMessage(Message& m) override;

 private:
  static constexpr int tabTextMax = 30;
  static constexpr int menuEntriesMax = 10;

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
};
