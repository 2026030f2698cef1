#include "TabTestFixture.h"

namespace {

using Texts = std::vector<std::wstring>;

}  // namespace

class TabStripTest : public TabViewTest {
 protected:
  // Presses on `from`, travels in steps to `to` (the drag starts on the way) and stays
  // there with the button down.
  void PressAndTravel(POINT from, POINT to) {
    MouseButton(from, true);
    for (int step = 1; step <= 4; ++step) {
      MoveMouseTo(POINT{from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4});
    }
  }
  void Drag(int fromTab, int toTab) {
    POINT to = TabCentre(toTab);
    PressAndTravel(TabCentre(fromTab), to);
    MouseButton(to, false);
  }
  // Pixel of the strip as the screen shows it now, without repainting first.
  COLORREF StripPixel(int x, int y) {
    HDC dc = GetDC(view.GetTabStrip());
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(view.GetTabStrip(), dc);
    return colour;
  }
};

TEST_F(TabStripTest, ClickingATabActivatesItsPage) {
  AddPages({L"A", L"B", L"C"});
  parent.notes.clear();
  ClickAt(TabCentre(1));
  EXPECT_EQ(view.GetActivePage(), 1);
  EXPECT_TRUE(IsWindowVisible(pages[1]->Handle()));
  EXPECT_EQ(VisiblePageCount(), 1);
  EXPECT_EQ(GetCapture(), nullptr);
  // Only the container's own notification reaches the parent, none of the strip's.
  ASSERT_EQ(parent.notes.size(), 1u);
  EXPECT_EQ(parent.notes[0].code, TABVIEW_PAGEACTIVATED);
  EXPECT_EQ(parent.notes[0].id, 1);

  // Arrow keys in a focused strip switch pages and leave the focus in the strip.
  SetFocus(view.GetTabStrip());
  PressKey(VK_RIGHT);
  EXPECT_EQ(view.GetActivePage(), 2);
  EXPECT_TRUE(IsWindowVisible(pages[2]->Handle()));
  EXPECT_EQ(GetFocus(), view.GetTabStrip());
  EXPECT_EQ(parent.notes.back().id, 2);
}

TEST_F(TabStripTest, DraggingRightPutsThePageAfterTheTarget) {
  AddPages({L"A", L"B", L"C", L"D"});
  // A click right before the press would make it a double-click.
  view.SetActivePage(0);
  parent.notes.clear();

  PressAndTravel(TabCentre(0), TabCentre(2));
  EXPECT_EQ(GetCapture(), view.GetTabStrip());
  EXPECT_EQ(LiveHandleCount(HandleKind::ImageList), 1) << "the drag picture";
  int pictureWidth = 0, pictureHeight = 0;
  ImageList_GetIconSize(ImageList_GetDragImage(nullptr, nullptr), &pictureWidth, &pictureHeight);
  RECT a = TabRect(0);
  EXPECT_EQ(pictureWidth, a.right - a.left + 4);
  EXPECT_EQ(pictureHeight, a.bottom - a.top + 4);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
  // The mark stands at C's right edge: the top triangle's middle column.
  RECT c = TabRect(2);
  EXPECT_EQ(StripPixel(c.right - 1, 1), GetSysColor(COLOR_WINDOWTEXT));
  MouseButton(TabCentre(2), false);

  EXPECT_EQ(Titles(), (Texts{L"B", L"C", L"A", L"D"}));
  EXPECT_EQ(view.GetActivePage(), 2);
  EXPECT_EQ(view.GetPageWindow(2), pages[0]->Handle());
  EXPECT_TRUE(IsWindowVisible(pages[0]->Handle()));
  EXPECT_EQ(VisiblePageCount(), 1);
  EXPECT_EQ(GetCapture(), nullptr);
  auto notes = parent.NotesWithCode(TABVIEW_PAGEACTIVATED);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].id, 2);
  Texts menu = MenuTexts();
  EXPECT_EQ(menu[5], L"&3 A");
  EXPECT_EQ(CheckedMenuPosition(), 5);
  for (HandleKind kind : {HandleKind::ImageList, HandleKind::Bitmap, HandleKind::DeviceContext,
                          HandleKind::Pen, HandleKind::Brush}) {
    EXPECT_EQ(LiveHandleCount(kind), 0);
  }
}

TEST_F(TabStripTest, DraggingLeftPutsThePageBeforeTheTarget) {
  AddPages({L"A", L"B", L"C", L"D"});
  PressAndTravel(TabCentre(3), TabCentre(1));
  RECT b = TabRect(1);
  EXPECT_EQ(StripPixel(b.left - 1, 1), GetSysColor(COLOR_WINDOWTEXT));
  MouseButton(TabCentre(1), false);
  EXPECT_EQ(Titles(), (Texts{L"A", L"D", L"B", L"C"}));
  EXPECT_EQ(view.GetActivePage(), 1);
  EXPECT_EQ(view.GetPageData(1), pages[3].get());
}

TEST_F(TabStripTest, EscapeOrALostCaptureEndsADragWithoutMoving) {
  AddPages({L"A", L"B", L"C", L"D"});
  parent.notes.clear();
  PressAndTravel(TabCentre(3), TabCentre(0));
  ASSERT_EQ(GetCapture(), view.GetTabStrip());
  EXPECT_EQ(PressWithPageKeys({VK_ESCAPE}), 1);
  EXPECT_EQ(GetCapture(), nullptr);
  MouseButton(TabCentre(0), false);
  EXPECT_EQ(Titles(), (Texts{L"A", L"B", L"C", L"D"}));
  EXPECT_EQ(view.GetActivePage(), 3);
  EXPECT_TRUE(parent.notes.empty());
  EXPECT_EQ(LiveHandleCount(HandleKind::ImageList), 0);
  // Escape outside a drag is not the container's.
  EXPECT_EQ(PressWithPageKeys({VK_ESCAPE}), 0);

  // Another window taking the capture ends the drag just the same.
  PressAndTravel(TabCentre(3), TabCentre(1));
  SetCapture(parent.Handle());
  ReleaseCapture();
  MouseButton(TabCentre(1), false);
  EXPECT_EQ(Titles(), (Texts{L"A", L"B", L"C", L"D"}));

  // The next drag starts afresh.
  Drag(3, 1);
  EXPECT_EQ(Titles(), (Texts{L"A", L"D", L"B", L"C"}));
}

TEST_F(TabStripTest, ShortPressesAndSingleTabsDoNotDrag) {
  Add(L"alone");
  MouseButton(TabCentre(0), true);
  EXPECT_EQ(GetCapture(), nullptr);
  MouseButton(TabCentre(0), false);

  AddPages({L"B", L"C"});
  parent.notes.clear();
  // Released onto itself: nothing moves and nothing is said.
  POINT c = TabCentre(2);
  PressAndTravel(c, POINT{c.x + 6, c.y});
  MouseButton(POINT{c.x + 6, c.y}, false);
  EXPECT_EQ(Titles(), (Texts{L"alone", L"B", L"C"}));
  EXPECT_TRUE(parent.notes.empty());
  // Dropped outside the strip: nothing moves. (A press next to the last release would be
  // a double-click, so this one starts on another tab.)
  POINT below = ClientToScreenPoint(view.Handle(), 200, 200);
  PressAndTravel(TabCentre(0), below);
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_NO));
  MouseButton(below, false);
  EXPECT_EQ(Titles(), (Texts{L"alone", L"B", L"C"}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TabStripTest, RightClickAndShiftF10AskForAContextMenu) {
  AddPages({L"A", L"B", L"C"});
  parent.notes.clear();
  POINT onB = TabCentre(1);
  ClickAt(onB, true);
  auto notes = parent.NotesWithCode(TABVIEW_CONTEXTMENU);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].id, 1);
  EXPECT_EQ(notes[0].from, view.Handle());
  EXPECT_EQ(notes[0].point.x, onB.x);
  EXPECT_EQ(notes[0].point.y, onB.y);
  EXPECT_EQ(view.GetActivePage(), 2);

  // Beside the tabs nothing is asked.
  RECT last = TabRect(2);
  ClickAt(ClientToScreenPoint(view.GetTabStrip(), last.right + 40, (last.top + last.bottom) / 2), true);
  EXPECT_EQ(parent.NotesWithCode(TABVIEW_CONTEXTMENU).size(), 1u);

  SetFocus(view.GetTabStrip());
  PressChord({VK_SHIFT, VK_F10});
  notes = parent.NotesWithCode(TABVIEW_CONTEXTMENU);
  ASSERT_EQ(notes.size(), 2u);
  POINT corner = ClientToScreenPoint(view.GetTabStrip(), last.left, last.bottom);
  EXPECT_EQ(notes[1].id, 2);
  EXPECT_EQ(notes[1].point.x, corner.x);
  EXPECT_EQ(notes[1].point.y, corner.y);
}

TEST_F(TabStripTest, MovePageChecksItsIndexes) {
  AddPages({L"A", L"B", L"C"});
  parent.notes.clear();
  EXPECT_FALSE(view.MovePage(0, 3));
  EXPECT_FALSE(view.MovePage(-1, 0));
  EXPECT_TRUE(view.MovePage(1, 1));
  EXPECT_TRUE(parent.notes.empty());
  // Moving a page other than the active one keeps a single page on screen.
  EXPECT_TRUE(view.MovePage(0, 2));
  EXPECT_EQ(Titles(), (Texts{L"B", L"C", L"A"}));
  EXPECT_EQ(view.GetActivePage(), 2);
  EXPECT_EQ(VisiblePageCount(), 1);
  EXPECT_TRUE(IsWindowVisible(pages[0]->Handle()));
  EXPECT_EQ(parent.notes.size(), 1u);
  // And leftwards past the active page, which is the one hidden, not its old neighbour.
  view.SetActivePage(1);
  EXPECT_TRUE(view.MovePage(2, 0));
  EXPECT_EQ(Titles(), (Texts{L"A", L"B", L"C"}));
  EXPECT_EQ(view.GetActivePage(), 0);
  EXPECT_EQ(VisiblePageCount(), 1);
  EXPECT_TRUE(IsWindowVisible(pages[0]->Handle()));
}
