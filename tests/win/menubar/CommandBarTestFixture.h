#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Canvas.h"
#include "MenuBarDriver.h"
#include "menubar/CommandBar.h"

// The virtual key that types `character` on this display's keyboard layout, or 0.
WORD KeyFor(wchar_t character);

// A plain frame: records what a menu tells its owner and reflects notifications back to the
// controls, as the editor's frame does. Its records are read from the driver's thread too.
class TestFrame : public Window {
 public:
  std::atomic<UINT> lastCommand{0};
  std::atomic<int> commandCount{0};
  std::atomic<int> menuSelectCount{0};
  std::atomic<UINT> lastSelectedItem{0};
  std::atomic<HMENU> lastInitPopup{nullptr};

  void Reset();

 protected:
  bool HandleMessage(Message& m) override;
};

std::wstring ButtonText(HWND bar, int index);
std::wstring MenuText(HMENU menu, int position);
HBITMAP ItemBitmap(HMENU menu, UINT id);
// The pixels of `rect` in `hwnd`'s client area after a full repaint, row by row.
std::vector<COLORREF> ReadPixels(HWND hwnd, const RECT& rect);

// A toolbar image as drawn over a key colour, to find it on the screen: the key marks the
// see-through pixels.
constexpr COLORREF kKeyColour = RGB(10, 200, 90);
std::unique_ptr<Canvas> ReferenceImage(UINT command);
// A copy of `screen` (screen coordinates) as window `hwnd` shows it.
std::unique_ptr<Canvas> CopyOfWindow(HWND hwnd, const RECT& screen);
bool MatchesAt(const Canvas& shown, const Canvas& image, POINT at);

// An image as a shown popup item has it: where it sits in the item, and the item's background
// around it (the row above).
struct ShownImage {
  POINT at{};
  COLORREF background = 0;
};

// Finds `image` in item `position` of the shown popup `menu`, with the item's background
// showing through every see-through pixel; nothing while it is not shown like that.
std::optional<ShownImage> ImageSeeThroughInItem(HMENU menu, int position, const Canvas& image);

std::string Describe(const std::vector<std::string>& failures);

// The frame with the menu bar over an edit box that has the focus, shown and in front, built
// the way the editor's frame builds it: the menu comes with the frame, the bar takes it over
// with the toolbar images, and the frame's own menu is removed. The frame serves every test
// (hiding a frame costs Wine seconds); each test gets a new bar and a freshly loaded menu.
class CommandBarTest : public testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  HWND Bar() const { return bar_->Handle(); }
  HMENU Popup(int index) const { return GetSubMenu(bar_->GetMenu(), index); }

  // True while popup `index` is shown under its pressed button.
  std::function<bool()> PopupOpen(int index) const;

  // Runs a driver script while this thread pumps messages the way the editor's loop does,
  // offering them to the bar through the frame's filter first.
  std::vector<std::string> RunWithFrameLoop(const std::function<void(Driver&)>& script);

  static std::function<bool()> NoPopupOpen();

  static inline TestFrame* sharedFrame = nullptr;
  static inline HWND sharedEdit = nullptr;
  TestFrame* frame_ = nullptr;
  std::unique_ptr<CommandBar> bar_;
  HWND edit_ = nullptr;
  long menusBefore_ = 0;
  long bitmapsBefore_ = 0;
  long imageListsBefore_ = 0;
  long iconsBefore_ = 0;
};
