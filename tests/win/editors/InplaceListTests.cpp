#include <gtest/gtest.h>

#include <vector>

#include "EditorTestSupport.h"
#include "RecordingGrid.h"
#include "celleditors/EditorControl.h"
#include "griditems/GridMessages.h"
#include "celleditors/InplaceEditorPolicy.h"
#include "celleditors/InplaceList.h"
#include "win/UniqueHandle.h"

namespace {

const std::vector<const wchar_t*> kTimesOfDay{L"Рассвет", L"День", L"Закат", L"Ночь"};

class InplaceListTest : public RecordingGridTest {
 protected:
  void TearDown() override {
    if (IsWindow(editor)) DestroyWindow(editor);
    PumpMessages();
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(InplaceDropDown::LiveObjects(), 0);
    EXPECT_EQ(EditorControl::LiveObjects(), 0);
  }

  // Opens the editor the way the list item and the grid do: options, selection, focus.
  void Open(const std::vector<const wchar_t*>& options, int current = 0, const wchar_t* text = L"День") {
    grid.received.clear();
    editor = InplaceList::Create(grid.Handle(), kCell, text);
    ASSERT_NE(editor, nullptr);
    list = InplaceList::GetListBox(editor);
    button = InplaceDropDown::GetButton(editor);
    for (const wchar_t* option : options)
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(option));
    SendMessageW(list, LB_SETCURSEL, current, 0);
    ShowAndFocus(editor);
  }
  void Drop() {
    SendMessageW(editor, WM_COMMAND, 0, 0);
    PumpMessages();
  }
  int Selection() { return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)); }
  RECT ScreenRect(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
  }
  void ExpectOnly(UINT msg, bool sent, WPARAM wParam = 0) {
    ASSERT_EQ(grid.received.size(), 1u);
    EXPECT_EQ(grid.received[0].msg, msg);
    EXPECT_EQ(grid.received[0].sent, sent);
    EXPECT_EQ(grid.received[0].wParam, wParam);
    if (msg != GRIDM_NAVIGATE) {
      EXPECT_EQ(grid.received[0].lParam, reinterpret_cast<LPARAM>(editor));
    }
    grid.received.clear();
  }

  HWND editor = nullptr;
  HWND list = nullptr;
  HWND button = nullptr;
};

TEST_F(InplaceListTest, OpensWithHiddenListAndTheFocusOnItsDropButton) {
  Open(kTimesOfDay);
  wchar_t className[64]{};
  GetClassNameW(editor, className, 64);
  EXPECT_STREQ(className, L"Sonarwick_InplacePropertyList");
  EXPECT_EQ(GetDlgCtrlID(editor), 0);
  EXPECT_EQ(WindowText(editor), L"День");
  EXPECT_EQ(GetWindowLongW(editor, GWL_STYLE) & WS_BORDER, 0);
  EXPECT_EQ(SendMessageW(editor, EM_GETMARGINS, 0, 0), MAKELONG(2, GetSystemMetrics(SM_CXVSCROLL)));
  for (HWND part : {editor, list, button}) {
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(part, WM_GETFONT, 0, 0)), grid.Font());
  }

  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_TRUE(GetWindowLongW(list, GWL_STYLE) & WS_POPUP);
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 4);

  EXPECT_EQ(GetParent(button), editor);
  EXPECT_EQ(GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  // A square as tall as the text box at its right edge, reaching one pixel above it.
  RECT client{}, placed{};
  GetClientRect(editor, &client);
  GetWindowRect(button, &placed);
  MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.right, client.right);
  EXPECT_EQ(placed.top, client.top - 1);
  EXPECT_EQ(placed.bottom, client.bottom);
  EXPECT_EQ(placed.right - placed.left, client.bottom - client.top);

  // The focus passing from the text box to its own button does not end the edit.
  EXPECT_EQ(GetFocus(), button);
  EXPECT_TRUE(grid.received.empty());
  EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
}

// At another display scale the grid hands the open editor a larger font and a taller cell:
// every part takes the font, the button stays a square at the right edge and the text keeps
// its margins.
TEST_F(InplaceListTest, FollowsANewFontAndCellSize) {
  Open(kTimesOfDay);
  LOGFONTW description{};
  GetObjectW(grid.Font(), sizeof(description), &description);
  description.lfHeight *= 2;
  UniqueFont larger(CreateFontIndirectW(&description));
  SendMessageW(editor, WM_SETFONT, reinterpret_cast<WPARAM>(larger.get()), TRUE);
  SetWindowPos(editor, nullptr, kCell.left, kCell.top, 2 * (kCell.right - kCell.left),
               2 * (kCell.bottom - kCell.top), SWP_NOZORDER | SWP_NOACTIVATE);
  for (HWND part : {editor, list, button})
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(part, WM_GETFONT, 0, 0)), larger.get());
  EXPECT_EQ(SendMessageW(editor, EM_GETMARGINS, 0, 0), MAKELONG(2, GetSystemMetrics(SM_CXVSCROLL)));
  RECT client{}, placed{};
  GetClientRect(editor, &client);
  GetWindowRect(button, &placed);
  MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.right, client.right);
  EXPECT_EQ(placed.right - placed.left, client.bottom - client.top);
  // Closed before the font it shows goes.
  DestroyWindow(editor);
}

TEST_F(InplaceListTest, DropsBelowTheEditorAtFullWidthAndFitsItsEntries) {
  std::vector<const wchar_t*> many(20, L"option");
  for (size_t count : {1u, 4u, 20u}) {
    Open(std::vector<const wchar_t*>(many.begin(), many.begin() + count));
    Drop();
    ASSERT_TRUE(IsWindowVisible(list));
    RECT box = ScreenRect(editor), dropped = ScreenRect(list);
    EXPECT_EQ(dropped.left, box.left);
    EXPECT_EQ(dropped.top, box.bottom);
    EXPECT_EQ(dropped.right, box.right);
    int itemHeight = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    int fitting = itemHeight * static_cast<int>(count) + 2 * GetSystemMetrics(SM_CYBORDER);
    int height = dropped.bottom - dropped.top;
    if (fitting <= kMaxDropListHeight) {
      EXPECT_EQ(height, fitting) << count << " entries";
    } else {
      // The list box keeps to whole entries below the cap.
      EXPECT_LE(height, kMaxDropListHeight);
      EXPECT_GT(height, kMaxDropListHeight - itemHeight);
    }
    EXPECT_EQ(GetFocus(), button) << "dropping does not take the focus";
    DestroyWindow(editor);
  }
}

TEST_F(InplaceListTest, AddedOptionsResizeTheNextDrop) {
  Open({L"one"});
  Drop();
  int oneEntry = ScreenRect(list).bottom - ScreenRect(list).top;
  for (const wchar_t* option : {L"two", L"three"}) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(option));
  }
  Drop();
  int itemHeight = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  EXPECT_EQ(ScreenRect(list).bottom - ScreenRect(list).top, oneEntry + 2 * itemHeight);
}

// With the list closed the button's keys leave the cell, end the edit or drop the list.
TEST_F(InplaceListTest, KeysAtTheButtonWhileTheListIsClosed) {
  Open(kTimesOfDay, 1);
  for (WORD leaving : {WORD{VK_DOWN}, WORD{VK_UP}, WORD{VK_TAB}}) {
    PressKey(leaving);
    ExpectOnly(GRIDM_NAVIGATE, false, leaving);
  }
  for (WORD ignored : {WORD{VK_LEFT}, WORD{VK_RIGHT}}) PressKey(ignored);
  EXPECT_TRUE(grid.received.empty());

  for (WORD dropKey : {WORD{VK_SPACE}, WORD{VK_F2}, WORD{VK_F4}}) {
    ShowWindow(list, SW_HIDE);
    PressKey(dropKey);
    EXPECT_TRUE(IsWindowVisible(list)) << "key " << dropKey;
    EXPECT_EQ(GetFocus(), button);
  }
  ShowWindow(list, SW_HIDE);
  PressChord({VK_MENU, VK_DOWN});
  EXPECT_TRUE(IsWindowVisible(list)) << "Alt+Down";
  EXPECT_FALSE(GetWindowLongW(list, GWL_EXSTYLE) & WS_EX_TOPMOST) << "the list floats over no other program";
  EXPECT_TRUE(grid.received.empty());
  EXPECT_EQ(Selection(), 1);

  // Escape and Enter at the closed list keep the shown value: a posted commit, not a cancel.
  for (WORD ending : {WORD{VK_ESCAPE}, WORD{VK_RETURN}}) {
    DestroyWindow(editor);
    Open(kTimesOfDay, 1);
    PressKey(ending);
    ExpectOnly(GRIDM_COMMITEDIT, false);
    EXPECT_FALSE(IsWindow(editor));
  }
}

// With the list down the keys move its highlight, never the grid's cell; Enter, Alt+Up and
// Tab choose, Escape closes it without a change, and letters jump to options (Cyrillic too).
TEST_F(InplaceListTest, KeysMoveTheDroppedListAndChooseFromIt) {
  grid.policy = RecordingGrid::EndPolicy::KeepOpen;
  Open(kTimesOfDay, 1);
  Drop();
  const std::vector<std::pair<WORD, int>> moves{{VK_DOWN, 2}, {VK_DOWN, 3}, {VK_DOWN, 3},  {VK_HOME, 0},
                                                {VK_UP, 0},   {VK_END, 3},  {VK_PRIOR, 0}, {VK_NEXT, 3},
                                                {VK_LEFT, 3}, {VK_RIGHT, 3}};
  for (auto [key, expected] : moves) {
    PressKey(key);
    EXPECT_EQ(Selection(), expected) << "key " << key;
  }
  TypeText(L"Д");
  EXPECT_EQ(Selection(), 1);
  TypeText(L"з");
  EXPECT_EQ(Selection(), 2) << "letters match whatever their case";
  EXPECT_TRUE(grid.received.empty()) << "nothing is chosen by moving";
  EXPECT_TRUE(IsWindowVisible(list));

  PressKey(VK_ESCAPE);
  EXPECT_FALSE(IsWindowVisible(list));
  EXPECT_TRUE(grid.received.empty());
  EXPECT_EQ(Selection(), 1) << "the highlight goes back to the shown value";
  EXPECT_EQ(GetFocus(), button) << "the edit goes on";
  DestroyWindow(editor);

  struct Choice {
    std::initializer_list<WORD> chord;
    int expectedPosts;
  };
  for (const Choice& choice : {Choice{{VK_RETURN}, 0}, Choice{{VK_MENU, VK_UP}, 0}, Choice{{VK_TAB}, 1}}) {
    Open(kTimesOfDay, 1, L"День");
    Drop();
    PressKey(VK_DOWN);
    PressChord(choice.chord);
    ASSERT_EQ(grid.received.size(), 1u + choice.expectedPosts);
    EXPECT_EQ(grid.received[0].msg, static_cast<UINT>(GRIDM_COMMITEDIT));
    EXPECT_TRUE(grid.received[0].sent);
    EXPECT_EQ(grid.received[0].text, L"Закат");
    if (choice.expectedPosts == 1) {
      EXPECT_EQ(grid.received[1].msg, static_cast<UINT>(GRIDM_NAVIGATE));
      EXPECT_EQ(grid.received[1].wParam, static_cast<WPARAM>(VK_TAB));
    }
    EXPECT_FALSE(IsWindowVisible(list));
    DestroyWindow(editor);
  }
}

// The list goes whenever the focus leaves the button or anyone cancels modes (the grid when
// its page is hidden, the frame when it moves or goes to the background); a list that went
// never chooses, not even from a click that reaches it late. The focus leaving the editor ends
// the edit with the value it shows, once.
TEST_F(InplaceListTest, ClosesUpOnFocusLossAndCancelModeAndThenNeverCommits) {
  grid.policy = RecordingGrid::EndPolicy::KeepOpen;
  Open(kTimesOfDay, 0);
  Drop();
  SetFocus(grid.Handle());
  PumpMessages();
  EXPECT_FALSE(IsWindowVisible(list));
  ASSERT_EQ(grid.received.size(), 1u);
  EXPECT_EQ(grid.received[0].msg, static_cast<UINT>(GRIDM_COMMITEDIT));
  EXPECT_EQ(grid.received[0].text, L"День");
  grid.received.clear();
  SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  PressKey(VK_RETURN);
  EXPECT_TRUE(grid.received.empty());

  for (HWND target : {editor, button}) {
    ShowAndFocus(editor);
    Drop();
    ASSERT_TRUE(IsWindowVisible(list));
    SendMessageW(target, WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(GetFocus(), button);
  }
  SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(grid.received.empty());
}

TEST_F(InplaceListTest, ClickOnAnEntryCommitsThatEntry) {
  Open(kTimesOfDay, 0);
  Drop();
  RECT entry{};
  SendMessageW(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&entry));
  ClickAt(ClientToScreenPoint(list, (entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2));
  ASSERT_EQ(grid.received.size(), 1u);
  EXPECT_EQ(grid.received[0].text, L"Закат");
  ExpectOnly(GRIDM_COMMITEDIT, true);
  EXPECT_EQ(GetFocus(), grid.Handle());
}

TEST_F(InplaceListTest, TheCharacterThatOpenedTheEditorPicksItsOption) {
  Open(kTimesOfDay, 0);
  Drop();
  SendMessageW(editor, WM_CHAR, L'З', 1);  // the grid hands over the character that opened the editor
  EXPECT_EQ(Selection(), 2);
  EXPECT_TRUE(grid.received.empty());
  EXPECT_EQ(WindowText(editor), L"День");
}

TEST_F(InplaceListTest, ClicksOnTheTextTakeNoFocusAndTheButtonDrops) {
  Open(kTimesOfDay);
  ClickAt(ClientToScreenPoint(editor, 5, 5));
  DoubleClickAt(ClientToScreenPoint(editor, 5, 5));
  EXPECT_EQ(GetFocus(), button);
  DWORD start = 1, end = 1;
  SendMessageW(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, end);
  EXPECT_FALSE(IsWindowVisible(list));

  RECT buttonRect{};
  GetClientRect(button, &buttonRect);
  ClickAt(ClientToScreenPoint(button, buttonRect.right / 2, buttonRect.bottom / 2));
  EXPECT_TRUE(IsWindowVisible(list));
  EXPECT_EQ(GetFocus(), button);
  EXPECT_TRUE(grid.received.empty());
}

TEST_F(InplaceListTest, TextBoxLosingTheFocusElsewhereCommits) {
  Open(kTimesOfDay);
  SendMessageW(editor, WM_KILLFOCUS, reinterpret_cast<WPARAM>(button), 0);
  EXPECT_TRUE(grid.received.empty());
  SendMessageW(editor, WM_KILLFOCUS, reinterpret_cast<WPARAM>(grid.Handle()), 0);
  ExpectOnly(GRIDM_COMMITEDIT, true);
}

TEST_F(InplaceListTest, DrawsAScrollDownArrowOnItsButton) {
  Open(kTimesOfDay);
  RECT rect{};
  GetClientRect(button, &rect);
  EXPECT_EQ(ReadClientPixel(button, 3, rect.bottom / 2), GetSysColor(COLOR_BTNFACE));
  bool arrow = false;
  for (int y = rect.bottom / 4; y < rect.bottom * 3 / 4 && !arrow; ++y) {
    arrow = ReadClientPixel(button, rect.right / 2, y) == GetSysColor(COLOR_BTNTEXT);
  }
  EXPECT_TRUE(arrow);
}

TEST_F(InplaceListTest, DeletedOnceHoweverItsWindowEnds) {
  // The grid destroys the editor inside the commit sent from the list's own click handler.
  grid.policy = RecordingGrid::EndPolicy::DestroyAtOnce;
  Open(kTimesOfDay);
  Drop();
  RECT entry{};
  SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&entry));
  ClickAt(ClientToScreenPoint(list, entry.left + 5, entry.top + 2));
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_FALSE(IsWindow(list));
  EXPECT_EQ(InplaceDropDown::LiveObjects(), 0);
  EXPECT_EQ(EditorControl::LiveObjects(), 0);

  // The same from Enter and Tab at the button while the list is down.
  for (WORD key : {WORD{VK_RETURN}, WORD{VK_TAB}}) {
    Open(kTimesOfDay);
    Drop();
    PressKey(key);
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(InplaceDropDown::LiveObjects(), 0);
    EXPECT_EQ(EditorControl::LiveObjects(), 0);
  }

  // Destroyed while dropped, and destroyed with its parent.
  Open(kTimesOfDay);
  Drop();
  DestroyWindow(editor);
  EXPECT_FALSE(IsWindow(list));
  EXPECT_EQ(InplaceDropDown::LiveObjects(), 0);
  HWND panel = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, grid.Handle(),
                               nullptr, nullptr, nullptr);
  HWND orphan = InplaceList::Create(panel, kCell, L"x");
  ShowAndFocus(orphan);
  SendMessageW(orphan, WM_COMMAND, 0, 0);
  DestroyWindow(panel);
  EXPECT_EQ(InplaceDropDown::LiveObjects(), 0);
  EXPECT_EQ(EditorControl::LiveObjects(), 0);
}

TEST_F(InplaceListTest, NoEditorWhenAPartCannotBeCreated) {
  for (const wchar_t* refused : {L"LISTBOX", L"BUTTON", L"Sonarwick_InplacePropertyList"}) {
    CreationRefusal refusal(refused);
    EXPECT_EQ(InplaceList::Create(grid.Handle(), kCell, L"x"), nullptr) << refused;
    PumpMessages();
    EXPECT_EQ(InplaceDropDown::LiveObjects(), 0) << refused;
    EXPECT_EQ(EditorControl::LiveObjects(), 0) << refused;
  }
  EXPECT_EQ(InplaceList::GetListBox(grid.Handle()), nullptr);
}

}  // namespace
