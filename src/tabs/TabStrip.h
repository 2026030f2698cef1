#pragma once

#include <windows.h>

#include "tabs/TabStripOwner.h"
#include "win/UniqueHandle.h"
#include "win/Window.h"

// The row of tabs above the container's pages: the system tab control, subclassed so that a
// tab can be dragged to another place (with an insertion mark showing where it lands) and
// right-clicked or Shift+F10'd for its context menu.
class TabStrip : public Window {
 public:
  explicit TabStrip(TabStripOwner& owner) : owner_(owner) {}

  // Makes the tab control inside `container` (hidden until the first page comes), its items
  // carrying `itemExtra` bytes of the container's own.
  bool Create(HWND container, int itemExtra);
  // Height of the band the tabs need with the current font and theme.
  int MeasureHeight();
  // Keyboard pre-translation: Escape while a tab is held ends the drag. True when taken.
  bool TranslateDragKeys(const MSG* msg);

 protected:
  bool HandleMessage(Message& m) override;

 private:
  void OnLButtonDown(POINT point);
  bool OnMouseMove(POINT point);
  void OnLButtonUp(POINT point);
  void OnCaptureChanged();
  void OnRButtonUp(POINT point);
  bool OnSysKeyDown(WPARAM key);

  int HitTestTab(POINT point) const;
  void OpenContextMenu(int page, POINT point);
  void StartDrag();
  void TrackDrag(POINT point);
  void MakeDragImage(int page);
  void DrawInsertMark(int index);
  RECT GetInsertMarkRect() const;

  TabStripOwner& owner_;
  int insertMark = -1;
  POINT dragStart{0, 0};
  UniqueImageList dragImage;
  bool capturing = false;
  bool dragging = false;
};
