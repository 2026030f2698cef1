#include <gtest/gtest.h>

#include "EditorTestSupport.h"
#include "RecordingGrid.h"
#include "griditems/GridMessages.h"
#include "celleditors/InplaceEdit.h"

namespace {

class InplaceEditTest : public RecordingGridTest {
 protected:
  void TearDown() override {
    if (IsWindow(editor)) DestroyWindow(editor);
    PumpMessages();
    EXPECT_EQ(InplaceEdit::LiveObjects(), 0);
  }

  HWND Open(const wchar_t* text, VARTYPE type = VT_BSTR) {
    grid.received.clear();
    editor = InplaceEdit::Create(grid.Handle(), kCell, text, type);
    ShowAndFocus(editor);
    return editor;
  }
  // Leaves the editor by moving the focus to the grid and returns the one message that ended it.
  RecordingGrid::Received Leave() {
    SetFocus(grid.Handle());
    EXPECT_EQ(grid.received.size(), 1u);
    PumpMessages();
    return grid.received.empty() ? RecordingGrid::Received{} : grid.received.back();
  }
  void ExpectNavigation(std::initializer_list<UINT> keys) {
    ASSERT_EQ(grid.received.size(), keys.size());
    size_t i = 0;
    for (UINT key : keys) {
      EXPECT_EQ(grid.received[i].msg, GRIDM_NAVIGATE);
      EXPECT_EQ(grid.received[i].wParam, key);
      EXPECT_FALSE(grid.received[i++].sent) << "navigation is posted";
    }
    grid.received.clear();
  }
  DWORD Caret() {
    DWORD start = 0, end = 0;
    SendMessageW(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return start == end ? start : MAXDWORD;
  }

  HWND editor = nullptr;
};

TEST_F(InplaceEditTest, CreatedOverTheCellWithTheGridFont) {
  Open(L"text");
  ASSERT_NE(editor, nullptr);
  wchar_t className[64]{};
  GetClassNameW(editor, className, 64);
  EXPECT_STREQ(className, L"Sonarwick_InplacePropertyEdit");
  EXPECT_EQ(GetParent(editor), grid.Handle());
  EXPECT_EQ(GetDlgCtrlID(editor), 0);
  EXPECT_EQ(WindowText(editor), L"text");
  RECT rect{};
  GetWindowRect(editor, &rect);
  MapWindowPoints(nullptr, grid.Handle(), reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_TRUE(EqualRect(&rect, &kCell));
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(editor, WM_GETFONT, 0, 0)), grid.Font());
  EXPECT_EQ(SendMessageW(editor, EM_GETMARGINS, 0, 0), MAKELONG(2, 0));
  LRESULT code = SendMessageW(editor, WM_GETDLGCODE, 0, 0);
  EXPECT_EQ(code & (DLGC_WANTARROWS | DLGC_WANTALLKEYS), DLGC_WANTARROWS | DLGC_WANTALLKEYS);
  EXPECT_EQ(GetFocus(), editor);
}

TEST_F(InplaceEditTest, LeavingUnchangedCancelsAndLeavingAfterTypingCommits) {
  HWND first = Open(L"abc");
  RecordingGrid::Received end = Leave();
  EXPECT_EQ(end.msg, GRIDM_CANCELEDIT);
  EXPECT_TRUE(end.sent) << "the grid relies on handling the end during the focus change";
  EXPECT_EQ(end.wParam, 0u);
  EXPECT_EQ(end.lParam, reinterpret_cast<LPARAM>(first));
  EXPECT_FALSE(IsWindow(first));

  Open(L"abc");
  SendMessageW(editor, EM_SETSEL, 0, -1);
  TypeText(L"42");
  end = Leave();
  EXPECT_EQ(end.msg, GRIDM_COMMITEDIT);
  EXPECT_TRUE(end.sent);
  EXPECT_EQ(end.text, L"42");
}

TEST_F(InplaceEditTest, EnterAndEscapeEndTheEditWithoutReachingTheText) {
  Open(L"abc");
  PressKey(VK_RETURN);
  ASSERT_EQ(grid.received.size(), 1u);
  EXPECT_EQ(grid.received[0].msg, GRIDM_CANCELEDIT) << "Enter on untouched text changes nothing";
  EXPECT_EQ(GetFocus(), grid.Handle());

  Open(L"abc");
  SendMessageW(editor, EM_SETSEL, 3, 3);
  TypeText(L"7");
  PressKey(VK_RETURN);
  ASSERT_EQ(grid.received.size(), 1u);
  EXPECT_EQ(grid.received[0].msg, GRIDM_COMMITEDIT);
  EXPECT_EQ(grid.received[0].text, L"abc7");

  Open(L"abc");
  TypeText(L"7");
  PressKey(VK_ESCAPE);
  ASSERT_EQ(grid.received.size(), 1u);
  EXPECT_EQ(grid.received[0].msg, GRIDM_CANCELEDIT) << "Escape drops what was typed";
  EXPECT_EQ(GetFocus(), grid.Handle());
}

TEST_F(InplaceEditTest, ClipboardMessagesCountAsChanges) {
  for (UINT msg : {WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR, WM_UNDO}) {
    Open(L"abc");
    SendMessageW(editor, msg, 0, 0);
    EXPECT_EQ(Leave().msg, GRIDM_COMMITEDIT) << "message " << msg;
  }
}

TEST_F(InplaceEditTest, KeysThatEditWithoutCharactersCountAsChanges) {
  // The grid opens the editor on Delete with all text selected and hands it the key.
  Open(L"abc");
  SendMessageW(editor, EM_SETSEL, 0, -1);
  SendMessageW(editor, WM_KEYDOWN, VK_DELETE, 0);
  RecordingGrid::Received end = Leave();
  EXPECT_EQ(end.msg, GRIDM_COMMITEDIT);
  EXPECT_EQ(end.text, L"");

  Open(L"abc");
  SendMessageW(editor, EM_SETSEL, 0, 0);
  PressKey(VK_DELETE);
  end = Leave();
  EXPECT_EQ(end.msg, GRIDM_COMMITEDIT);
  EXPECT_EQ(end.text, L"bc");

  Open(L"abc");
  SendMessageW(editor, EM_SETSEL, 0, -1);
  PressChord({VK_CONTROL, VK_INSERT});
  SendMessageW(editor, EM_SETSEL, 3, 3);
  PressChord({VK_SHIFT, VK_INSERT});
  end = Leave();
  EXPECT_EQ(end.msg, GRIDM_COMMITEDIT);
  EXPECT_EQ(end.text, L"abcabc");
}

// The refused text is still the user's: clicked again and left, it is offered again rather than
// dropped as if nothing had been typed.
TEST_F(InplaceEditTest, RefusedEditStaysOpenAndOffersItsTextAgainWhenClickedAgain) {
  grid.policy = RecordingGrid::EndPolicy::KeepOpen;
  Open(L"abc");
  TypeText(L"x");
  EXPECT_EQ(Leave().msg, GRIDM_COMMITEDIT);
  ASSERT_TRUE(IsWindow(editor));
  grid.received.clear();
  ClickAt(ClientToScreenPoint(grid.Handle(), kCell.left + 20, (kCell.top + kCell.bottom) / 2));
  EXPECT_EQ(GetFocus(), editor);
  const auto again = Leave();
  EXPECT_EQ(again.msg, GRIDM_COMMITEDIT);
  EXPECT_NE(again.text, L"abc");
}

TEST_F(InplaceEditTest, LeftAndRightLeaveOnlyAtTheEndsOfTheTextWithoutSelection) {
  Open(L"abcd");
  SendMessageW(editor, EM_SETSEL, 0, 0);
  PressKey(VK_LEFT);
  ExpectNavigation({VK_LEFT});
  SendMessageW(editor, EM_SETSEL, 4, 4);
  PressKey(VK_RIGHT);
  ExpectNavigation({VK_RIGHT});

  SendMessageW(editor, EM_SETSEL, 1, 1);
  PressKey(VK_LEFT);
  EXPECT_EQ(Caret(), 0u);
  SendMessageW(editor, EM_SETSEL, 0, 2);
  PressKey(VK_LEFT);
  SendMessageW(editor, EM_SETSEL, 3, 3);
  PressKey(VK_RIGHT);
  EXPECT_EQ(Caret(), 4u);
  SendMessageW(editor, EM_SETSEL, 2, 4);
  PressKey(VK_RIGHT);
  ExpectNavigation({});
  EXPECT_EQ(GetFocus(), editor);
}

TEST_F(InplaceEditTest, TabUpAndDownAlwaysLeave) {
  Open(L"abcd");
  SendMessageW(editor, EM_SETSEL, 1, 3);
  PressKey(VK_TAB);
  PressKey(VK_UP);
  PressKey(VK_DOWN);
  PressChord({VK_SHIFT, VK_TAB});
  ExpectNavigation({VK_TAB, VK_UP, VK_DOWN, VK_TAB});
  EXPECT_EQ(WindowText(editor), L"abcd");
}

TEST_F(InplaceEditTest, DigitsOnlyForUnsignedValueTypes) {
  for (VARTYPE type : {VT_UI1, VT_UI2, VT_UI4, VT_I4, VT_BSTR}) {
    Open(L"", type);
    TypeText(L"1a2");
    bool digitsOnly = type == VT_UI1 || type == VT_UI2 || type == VT_UI4;
    EXPECT_EQ((GetWindowLongW(editor, GWL_STYLE) & ES_NUMBER) != 0, digitsOnly) << "type " << type;
    EXPECT_EQ(WindowText(editor), digitsOnly ? L"12" : L"1a2") << "type " << type;
    Leave();
  }
}

TEST_F(InplaceEditTest, DeletedOnceHoweverItsWindowEnds) {
  // Closed by the grid's posted WM_CLOSE.
  Open(L"a");
  EXPECT_EQ(InplaceEdit::LiveObjects(), 1);
  Leave();
  EXPECT_EQ(InplaceEdit::LiveObjects(), 0);

  // Destroyed by the grid inside the commit that the focus loss sends.
  grid.policy = RecordingGrid::EndPolicy::DestroyAtOnce;
  Open(L"a");
  TypeText(L"b");
  SetFocus(grid.Handle());
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_EQ(InplaceEdit::LiveObjects(), 0);

  // Destroyed directly while it has the focus; its cancel then finds the window going away.
  Open(L"a");
  DestroyWindow(editor);
  EXPECT_EQ(InplaceEdit::LiveObjects(), 0);

  // Destroyed with its parent.
  grid.policy = RecordingGrid::EndPolicy::PostClose;
  HWND panel = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, grid.Handle(),
                               nullptr, nullptr, nullptr);
  ShowAndFocus(InplaceEdit::Create(panel, kCell, L"a", VT_BSTR));
  EXPECT_EQ(InplaceEdit::LiveObjects(), 1);
  DestroyWindow(panel);
  EXPECT_EQ(InplaceEdit::LiveObjects(), 0);

  // Never created.
  CreationRefusal refusal(L"Sonarwick_InplacePropertyEdit");
  EXPECT_EQ(InplaceEdit::Create(grid.Handle(), kCell, L"a", VT_BSTR), nullptr);
  EXPECT_EQ(InplaceEdit::Create(reinterpret_cast<HWND>(0x1234), kCell, L"a", VT_BSTR), nullptr);
  EXPECT_EQ(InplaceEdit::LiveObjects(), 0);
}

}  // namespace

namespace {

RECT RectInGrid(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The browse button: on screen at the right end of the cell, beside the narrowed text box and
// following it, clicked with the mouse without taking the focus (the edit goes on), its click
// posted to the grid, and gone with the editor.
TEST_F(InplaceEditTest, ButtonShowsAtTheRightEndAndClicksWithoutEndingTheEdit) {
  Open(L"wind.wav");
  ASSERT_TRUE(InplaceEdit::AddButton(editor));
  ASSERT_TRUE(InplaceEdit::AddButton(editor)) << "asked again, it keeps its one button";
  HWND button = InplaceEdit::GetButton(editor);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(GetParent(button), grid.Handle());
  EXPECT_TRUE(IsWindowVisible(button));
  // The cell holds both: the text box narrowed by a square of the row's height, the button there.
  const int side = kCell.bottom - kCell.top;
  RECT expectEdit{kCell.left, kCell.top, kCell.right - side, kCell.bottom};
  RECT expectButton{kCell.right - side, kCell.top, kCell.right, kCell.bottom};
  RECT edit = RectInGrid(editor), rect = RectInGrid(button);
  EXPECT_TRUE(EqualRect(&edit, &expectEdit));
  EXPECT_TRUE(EqualRect(&rect, &expectButton));
  // Placed again over a moved cell (the columns changed), the two follow it.
  SetWindowPos(editor, nullptr, kCell.left + 10, kCell.top + 30, kCell.right - kCell.left, side,
               SWP_NOZORDER | SWP_NOACTIVATE);
  rect = RectInGrid(button);
  EXPECT_EQ(rect.left, kCell.right + 10 - side);
  EXPECT_EQ(rect.top, kCell.top + 30);
  EXPECT_EQ(RectInGrid(editor).right, rect.left);

  // The text box repaints (its caret, a selection) without painting over its button: the
  // button's face, not the text box's white, shows left of its middle.
  PumpMessages();
  SendMessageW(editor, EM_SETSEL, 0, -1);
  RedrawWindow(editor, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_NOCHILDREN);
  EXPECT_EQ(ReadClientPixel(grid.Handle(), rect.left + 3, rect.top + side / 2), GetSysColor(COLOR_BTNFACE));

  TypeText(L"x");
  grid.received.clear();
  ClickAt(ClientToScreenPoint(grid.Handle(), rect.left + side / 2, rect.top + side / 2));
  PumpMessages();
  EXPECT_EQ(GetFocus(), editor) << "the click leaves the focus in the text box";
  ASSERT_EQ(grid.received.size(), 1u) << "only the click, no commit or cancel";
  EXPECT_EQ(grid.received[0].msg, GRIDM_EDITORBUTTON);
  EXPECT_FALSE(grid.received[0].sent) << "posted: what it starts runs on a clean stack";
  EXPECT_EQ(grid.received[0].lParam, reinterpret_cast<LPARAM>(editor));

  // Pressed, then released outside, it is no click.
  grid.received.clear();
  MouseButton(ClientToScreenPoint(grid.Handle(), rect.left + side / 2, rect.top + side / 2), true);
  MouseButton(ClientToScreenPoint(editor, 5, side / 2), false);
  PumpMessages();
  EXPECT_TRUE(grid.received.empty());
  EXPECT_EQ(GetFocus(), editor);

  DestroyWindow(editor);
  EXPECT_FALSE(IsWindow(button)) << "it goes with its editor";
}

}  // namespace
