#pragma once

#include <windows.h>

// What the tab strip asks of the container it sits in: which page a drag carries, where a
// dropped page goes, and who shows a tab's context menu. Pages themselves stay the
// container's business.
class TabStripOwner {
 public:
  virtual int GetActivePage() const = 0;
  virtual bool MovePage(int from, int to) = 0;
  // `screen` is where the menu should open, in screen coordinates.
  virtual void ShowTabContextMenu(int page, POINT screen) = 0;

 protected:
  ~TabStripOwner() = default;
};
