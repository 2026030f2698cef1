#include <string>

#include "FrameTestSupport.h"
#include "WinTestSupport.h"
#include "app/resources/ResourceIds.h"
#include "grid/InplaceDropDown.h"
#include "grid/InplaceList.h"

namespace {

LRESULT CALLBACK CountAltBackspace(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR count) {
  if (msg == WM_SYSKEYDOWN && wParam == VK_BACK) ++*reinterpret_cast<int*>(count);
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

class FrameKeyboard : public FrameTest {
 protected:
  // Opens a sample and puts the file-name editor of its first entry over the cell.
  HWND OpenEditorOnFirstFileName() {
    const std::wstring path = CopyOfSample(L"four-times-of-day.bad");
    ModalScript open;
    AnswerFileDialog(open, path);
    CommandWithScript(CMD_FILE_OPEN, open);
    AmbientView* view = frame->ActiveView();
    if (view == nullptr) return nullptr;
    RECT cell = view->GetCellRect(0, 1);
    ClickAt(ClientToScreenPoint(view->Handle(), (cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
    Pump();
    return view->GetEditor();
  }

  // Opens a sample and drops the time-of-day list of its first entry with the keyboard.
  HWND DropFirstTimeOfDay() {
    const std::wstring path = CopyOfSample(L"four-times-of-day.bad");
    ModalScript open;
    AnswerFileDialog(open, path);
    CommandWithScript(CMD_FILE_OPEN, open);
    AmbientView* view = frame->ActiveView();
    if (view == nullptr || GetFocus() != view->Handle()) return nullptr;
    view->SelectCell(0, kTimeOfDay);
    return ReopenList(view);
  }
  HWND ReopenList(AmbientView* view) {
    SetFocus(view->Handle());
    SendChord({VK_RETURN});
    Pump();
    return InplaceList::GetListBox(view->GetEditor());
  }

  static constexpr int kTimeOfDay = 4;

  static std::wstring Text(HWND window) {
    wchar_t text[256]{};
    GetWindowTextW(window, text, 256);
    return text;
  }
};

TEST_F(FrameKeyboard, AcceleratorsBecomeFrameCommands) {
  SendChord({VK_CONTROL, 'N'});
  Pump();
  EXPECT_TRUE(frame->Received(CMD_FILE_NEW));
  EXPECT_EQ(frame->Tabs().GetPageCount(), 1);

  // Ctrl+F4 is no accelerator, yet it closes the tab as Window > Close does.
  SendChord({VK_CONTROL, VK_F4});
  Pump();
  EXPECT_TRUE(frame->Received(CMD_WINDOW_CLOSE));
  EXPECT_EQ(frame->Tabs().GetPageCount(), 0);
  EXPECT_EQ(GetFocus(), frame->ClientWindow()) << "the focus is not left on the closed page";

  // Outside a text box the clipboard keys are the frame's, which has nothing to do for them.
  SetClipboardText(L"untouched");
  SendChord({VK_CONTROL, 'C'});
  SendChord({VK_SHIFT, VK_INSERT});
  Pump();
  EXPECT_TRUE(frame->Received(CMD_EDIT_COPY));
  EXPECT_TRUE(frame->Received(CMD_EDIT_PASTE));
  EXPECT_EQ(ClipboardText(), L"untouched");
}

TEST_F(FrameKeyboard, ClipboardKeysReachTheInPlaceTextEditor) {
  HWND editor = OpenEditorOnFirstFileName();
  ASSERT_NE(editor, nullptr);
  ASSERT_EQ(GetFocus(), editor);
  const std::wstring original = Text(editor);
  ASSERT_FALSE(original.empty());

  SetClipboardText(L"before");
  SendMessageW(editor, EM_SETSEL, 0, -1);
  SendChord({VK_CONTROL, 'C'});
  Pump();
  EXPECT_EQ(ClipboardText(), original);

  SetClipboardText(L"pasted.wav");
  SendMessageW(editor, EM_SETSEL, 0, -1);
  SendChord({VK_CONTROL, 'V'});
  Pump();
  EXPECT_EQ(Text(editor), L"pasted.wav");

  SendMessageW(editor, EM_SETSEL, 0, 6);
  SendChord({VK_SHIFT, VK_DELETE});
  Pump();
  EXPECT_EQ(Text(editor), L".wav");
  EXPECT_EQ(ClipboardText(), L"pasted");

  SendChord({VK_CONTROL, 'Z'});
  Pump();
  EXPECT_EQ(Text(editor), L"pasted.wav");

  SendMessageW(editor, EM_SETSEL, 0, 6);
  SendChord({VK_CONTROL, VK_INSERT});
  Pump();
  EXPECT_EQ(ClipboardText(), L"pasted");

  // Wine's edit control does not undo on Alt+Backspace itself, so the test watches the key
  // arrive instead.
  int altBackspaces = 0;
  SetWindowSubclass(editor, CountAltBackspace, 1, reinterpret_cast<DWORD_PTR>(&altBackspaces));
  SendChord({VK_MENU, VK_BACK});
  Pump();
  RemoveWindowSubclass(editor, CountAltBackspace, 1);
  EXPECT_EQ(altBackspaces, 1);

  EXPECT_FALSE(frame->Received(CMD_EDIT_COPY));
  EXPECT_FALSE(frame->Received(CMD_EDIT_PASTE));
  EXPECT_FALSE(frame->Received(CMD_EDIT_CUT));
  EXPECT_FALSE(frame->Received(CMD_EDIT_UNDO));

  // The other accelerators still work from inside the editor.
  SendChord({VK_CONTROL, 'N'});
  Pump();
  EXPECT_TRUE(frame->Received(CMD_FILE_NEW));
}

TEST_F(FrameKeyboard, CtrlTabSwitchesPagesThroughTheFilter) {
  Command(CMD_FILE_NEW);
  Command(CMD_FILE_NEW);
  Command(CMD_FILE_NEW);
  ASSERT_EQ(frame->Tabs().GetActivePage(), 2);
  SendChord({VK_CONTROL, VK_TAB});
  Pump();
  EXPECT_EQ(frame->Tabs().GetActivePage(), 0);
  SendChord({VK_CONTROL, VK_SHIFT, VK_TAB});
  Pump();
  EXPECT_EQ(frame->Tabs().GetActivePage(), 2);
}

// The dropped list closes up whenever its page or its frame goes out of the user's sight,
// and the focus comes back to the list's button with the frame.
TEST_F(FrameKeyboard, TheDroppedListClosesWithItsPageOrFrame) {
  HWND list = DropFirstTimeOfDay();
  ASSERT_NE(list, nullptr);
  AmbientView* first = frame->ActiveView();
  ASSERT_TRUE(IsWindowVisible(list));

  SendChord({VK_CONTROL, 'N'});
  Pump();
  EXPECT_FALSE(IsWindowVisible(list)) << "after New";
  EXPECT_EQ(GetFocus(), frame->ActiveView()->Handle()) << "New leaves the focus in the new page";
  SendChord({VK_CONTROL, VK_TAB});
  Pump();
  ASSERT_EQ(frame->ActiveView(), first);
  EXPECT_EQ(GetFocus(), first->Handle());

  list = ReopenList(first);
  ASSERT_TRUE(IsWindowVisible(list));
  RECT placed{};
  GetWindowRect(Hwnd(), &placed);
  SetWindowPos(Hwnd(), nullptr, placed.left + 20, placed.top + 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Pump();
  EXPECT_FALSE(IsWindowVisible(list)) << "after the frame moved";

  list = ReopenList(first);
  ASSERT_TRUE(IsWindowVisible(list));
  HWND button = InplaceDropDown::GetButton(first->GetEditor());
  ASSERT_EQ(GetFocus(), button);
  HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                               200, 100, nullptr, nullptr, nullptr, nullptr);
  BringToFront(other);
  Pump();
  EXPECT_FALSE(IsWindowVisible(list)) << "after the frame went to the background";
  DestroyWindow(other);
  SetForegroundWindow(Hwnd());
  Pump();
  EXPECT_EQ(GetFocus(), button) << "back in front, the edit goes on where it was";
  EXPECT_FALSE(IsWindowVisible(list));
}

// Switching pages from the tab strip brings the focus into the page shown; closing the last
// page with Ctrl+F4 from the strip leaves the focus on the container, not the hidden strip.
TEST_F(FrameKeyboard, SwitchingFromTheStripFocusesThePageAndClosingNeverStrandsTheFocus) {
  Command(CMD_FILE_NEW);
  Command(CMD_FILE_NEW);
  HWND strip = frame->Tabs().GetTabStrip();
  HWND second = frame->ActiveView()->Handle();
  SendChord({VK_SHIFT, VK_F6});
  Pump();
  ASSERT_EQ(GetFocus(), strip);
  SendChord({VK_CONTROL, VK_TAB});
  Pump();
  EXPECT_EQ(GetFocus(), frame->ActiveView()->Handle()) << "Ctrl+Tab from the strip";
  SendChord({VK_F6});
  Pump();
  Command(CMD_WINDOW_PAGE_FIRST + 1);
  EXPECT_EQ(GetFocus(), second) << "the window list from the strip";

  SendChord({VK_CONTROL, VK_F4});
  Pump();
  ASSERT_EQ(frame->Tabs().GetPageCount(), 1);
  SendChord({VK_F6});
  Pump();
  SendChord({VK_CONTROL, VK_F4});
  Pump();
  EXPECT_EQ(frame->Tabs().GetPageCount(), 0);
  EXPECT_EQ(GetFocus(), frame->ClientWindow());
}

}  // namespace
