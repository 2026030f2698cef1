#include <string>

#include "FrameTestSupport.h"
#include "WinTestSupport.h"
#include "app/resources/ResourceIds.h"

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

  // Ctrl+F4 stands beside Close in the menu but is no accelerator.
  SendChord({VK_CONTROL, VK_F4});
  Pump();
  EXPECT_FALSE(frame->Received(CMD_WINDOW_CLOSE));
  EXPECT_EQ(frame->Tabs().GetPageCount(), 1);

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

}  // namespace
