#include <cstring>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

#include "CellValueSupport.h"
#include "FrameTestSupport.h"
#include "WinTestSupport.h"
#include "ambient/EntryRecords.h"
#include "resources/ResourceIds.h"
#include "celleditors/InplaceDropDown.h"
#include "celleditors/InplaceList.h"

namespace {

LRESULT CALLBACK CountAltBackspace(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR count) {
  if (msg == WM_SYSKEYDOWN && wParam == VK_BACK) ++*reinterpret_cast<int*>(count);
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

class FrameKeyboard : public FrameTest {
 protected:
  AmbientView* OpenSample(const wchar_t* name) {
    OpenFile(CopyOfSample(name));
    return frame->ActiveView();
  }

  // Opens a sample and puts the file-name editor of its first entry over the cell.
  HWND OpenEditorOnFirstFileName() {
    AmbientView* view = OpenSample(L"four-times-of-day.bad");
    if (view == nullptr) return nullptr;
    RECT cell = view->GetCellRect(0, 1);
    ClickAt(ClientToScreenPoint(view->Handle(), (cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
    Pump();
    return view->GetEditor();
  }

  bool CommandEnabled(UINT id) const {
    return (frame->CommandStates().State(id) & COMMAND_STATE_DISABLED) == 0;
  }

  static std::wstring Names(const AmbientView& view) {
    std::wstring names;
    for (int entry = 0; entry < view.GetEntryCount(); ++entry) {
      names += view.GetEntry(entry).values.audioFile.value_or(L"?") + L";";
    }
    return names;
  }

  // Opens a sample and drops the time-of-day list of its first entry with the keyboard.
  HWND DropFirstTimeOfDay() {
    AmbientView* view = OpenSample(L"four-times-of-day.bad");
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

  // Outside a text box the clipboard keys are the frame's: without a selected entry Copy has
  // nothing to copy, and text that is no entry pastes nothing.
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
  const std::wstring original = WindowText(editor);
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
  EXPECT_EQ(WindowText(editor), L"pasted.wav");

  SendMessageW(editor, EM_SETSEL, 0, 6);
  SendChord({VK_SHIFT, VK_DELETE});
  Pump();
  EXPECT_EQ(WindowText(editor), L".wav");
  EXPECT_EQ(ClipboardText(), L"pasted");

  SendChord({VK_CONTROL, 'Z'});
  Pump();
  EXPECT_EQ(WindowText(editor), L"pasted.wav");

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

TEST_F(FrameKeyboard, EntryKeysEditTheDocumentAndUndoReturnsToTheSavedState) {
  AmbientView* view = OpenSample(L"four-times-of-day.bad");
  ASSERT_NE(view, nullptr);
  const std::wstring original = Names(*view);
  Pump();
  EXPECT_FALSE(CommandEnabled(CMD_EDIT_UNDO));
  EXPECT_FALSE(ToolbarButtonEnabled(CMD_EDIT_COPY));

  view->SelectCell(0, 2);
  Pump();
  EXPECT_TRUE(ToolbarButtonEnabled(CMD_EDIT_CUT));
  EXPECT_FALSE(CommandEnabled(CMD_ENTRY_MOVE_UP));
  EXPECT_TRUE(CommandEnabled(CMD_ENTRY_MOVE_DOWN));
  const std::wstring first = view->GetEntry(0).values.audioFile.value_or(L"");

  SendChord({VK_MENU, VK_DOWN});
  Pump();
  EXPECT_EQ(view->GetEntry(1).values.audioFile, first);
  EXPECT_EQ(view->GetSelectedEntry(), 1);
  EXPECT_TRUE(CommandEnabled(CMD_ENTRY_MOVE_UP));
  EXPECT_EQ(GetFocus(), view->Handle()) << "Alt+Down left the menu bar active";

  SendChord({VK_CONTROL, 'C'});
  SendChord({VK_CONTROL, 'V'});
  Pump();
  EXPECT_EQ(ClipboardText(), first + L"\t" + std::to_wstring(view->GetEntry(1).values.minRepeatMs) + L"\t" +
                                 std::to_wstring(view->GetEntry(1).values.maxRepeatMs) + L"\t" +
                                 std::to_wstring(view->GetEntry(1).values.timeOfDay) + L"\t" +
                                 std::to_wstring(view->GetEntry(1).values.volume) + L"\r\n");
  ASSERT_EQ(view->GetEntryCount(), 5);
  EXPECT_TRUE(view->GetEntry(1) == view->GetEntry(2));
  EXPECT_EQ(CellText(*view, 4, 0), L"4");
  EXPECT_TRUE(view->IsModified());

  SendChord({VK_CONTROL, 'Z'});
  SendChord({VK_MENU, VK_BACK});
  Pump();
  EXPECT_EQ(Names(*view), original);
  EXPECT_FALSE(view->IsModified());
  EXPECT_FALSE(CommandEnabled(CMD_EDIT_UNDO));
  EXPECT_TRUE(CommandEnabled(CMD_EDIT_REDO));
  SendChord({VK_CONTROL, 'Y'});
  Pump();
  EXPECT_EQ(view->GetEntry(1).values.audioFile, first);
  EXPECT_TRUE(view->IsModified());

  // A paste that does not parse changes nothing and says which line is at fault.
  SetClipboardText(L"a.wav\t1\t2\t3\t4\r\nb.wav\t1\t2\t9\t4\r\n");
  SendChord({VK_SHIFT, VK_INSERT});
  Pump();
  EXPECT_EQ(view->GetEntryCount(), 4);
  EXPECT_NE(StatusText().find(L" 2"), std::wstring::npos)
      << std::string(StatusText().begin(), StatusText().end());

  // Insert opens the new entry's file-name editor, which then owns the entry keys.
  SendChord({VK_INSERT});
  Pump();
  ASSERT_EQ(view->GetEntryCount(), 5);
  EXPECT_EQ(view->GetSelectedEntry(), 1);
  HWND editor = view->GetEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(GetFocus(), editor);
  SendChord({VK_MENU, VK_UP});
  SendChord({VK_CONTROL, VK_DELETE});
  Pump();
  EXPECT_EQ(view->GetEntryCount(), 5);
  EXPECT_EQ(view->GetEditor(), editor);
  EXPECT_FALSE(frame->Received(CMD_ENTRY_MOVE_UP));
  EXPECT_FALSE(frame->Received(CMD_ENTRY_DELETE));
}

TEST_F(FrameKeyboard, AFullDocumentRefusesNewEntriesWithAReason) {
  AmbientView* view = OpenSample(L"hundred-entries.bad");
  ASSERT_NE(view, nullptr);
  view->SelectCell(5, 1);
  SendChord({VK_CONTROL, 'D'});
  Pump();
  EXPECT_EQ(view->GetEntryCount(), MaxAmbientEntries);
  wchar_t full[256]{};
  LoadStringW(GetModuleHandleW(nullptr), STR_DOCUMENT_FULL, full, 256);
  EXPECT_EQ(StatusText(), full);
  EXPECT_FALSE(view->IsModified());

  // Cut and paste: one entry out, the same back in.
  const DocumentEntry cut = view->GetEntry(5);
  SendChord({VK_CONTROL, 'X'});
  Pump();
  EXPECT_EQ(view->GetEntryCount(), MaxAmbientEntries - 1);
  view->SelectCell(0, 1);
  SendChord({VK_CONTROL, 'V'});
  Pump();
  EXPECT_EQ(view->GetEntryCount(), MaxAmbientEntries);
  EXPECT_TRUE(view->GetEntry(0) == cut);
  SendChord({VK_CONTROL, 'V'});
  Pump();
  EXPECT_EQ(view->GetEntryCount(), MaxAmbientEntries);
  EXPECT_NE(StatusText(), full);

  // The append row refuses with the same reason.
  view->SelectCell(MaxAmbientEntries, 0);
  SendChord({VK_RETURN});
  Pump();
  EXPECT_EQ(view->GetEntryCount(), MaxAmbientEntries);
  EXPECT_EQ(StatusText(), full);
}

TEST_F(FrameKeyboard, ShiftF10ShowsTheEditMenuWithTheStatesOfTheSelectedEntry) {
  AmbientView* view = OpenSample(L"four-times-of-day.bad");
  ASSERT_NE(view, nullptr);
  view->SelectCell(0, 1);
  SetFocus(view->Handle());
  Pump();
  std::vector<std::wstring> items;
  ModalScript menu;
  menu.Then([] { return ShownPopupMenu() != nullptr; },
            [&items] {
              items = DescribeMenu(ShownPopupMenu());
              SendKey(VK_ESCAPE);
            });
  SendChord({VK_SHIFT, VK_F10});
  Pump();
  EXPECT_TRUE(menu.Finished());
  ASSERT_EQ(items.size(), 22u);
  auto grayed = [&items](size_t position) { return items[position].find(L"(grayed)") != std::wstring::npos; };
  EXPECT_TRUE(grayed(0)) << "Undo with nothing to undo";
  EXPECT_FALSE(grayed(3)) << "Cut";
  EXPECT_FALSE(grayed(9)) << "Delete Entry";
  EXPECT_TRUE(grayed(11)) << "Move Up on the first entry";
  EXPECT_FALSE(grayed(12)) << "Move Down";
  EXPECT_TRUE(grayed(15)) << "Stop Sound with nothing playing";
  EXPECT_FALSE(grayed(19)) << "Find";
  EXPECT_FALSE(grayed(21)) << "Replace";
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

// Any program can put the editor's own format on the clipboard. A block whose name no file can
// hold is refused whole, with the reason in the status bar, and nothing of it is kept.
TEST_F(FrameKeyboard, AHostileClipboardBlockIsRefusedWithAReason) {
  AmbientView* view = OpenSample(L"four-times-of-day.bad");
  ASSERT_NE(view, nullptr);
  view->SelectCell(0, 1);
  std::vector<DocumentEntry> entries(1);
  entries[0].values = {std::wstring(1000000, L'a'), 1, 2, 3, 4};
  const std::vector<std::byte> block = EncodeEntryRecords(entries);
  ASSERT_TRUE(OpenClipboard(Hwnd()));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, block.size());
  std::memcpy(GlobalLock(memory), block.data(), block.size());
  GlobalUnlock(memory);
  SetClipboardData(RegisterClipboardFormatW(L"Sonarwick.AmbientEntries"), memory);
  CloseClipboard();
  Pump();

  SendChord({VK_CONTROL, 'V'});
  Pump();
  EXPECT_EQ(view->GetEntryCount(), 4);
  EXPECT_FALSE(view->IsModified());
  wchar_t pattern[256]{};
  LoadStringW(GetModuleHandleW(nullptr), STR_PASTE_NAME_TOO_LONG, pattern, 256);
  wchar_t reason[256]{};
  std::swprintf(reason, 256, pattern, 1);
  EXPECT_EQ(StatusText(), reason);
}

// While another program holds the clipboard open, a paste says so rather than that the clipboard
// holds no entries.
TEST_F(FrameKeyboard, APasteWhileTheClipboardIsHeldSaysItIsBusy) {
  AmbientView* view = OpenSample(L"four-times-of-day.bad");
  ASSERT_NE(view, nullptr);
  SetClipboardText(L"a.wav\t1\t2\t3\t4\r\n");
  Pump();
  HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread holder([&] {
    const BOOL open = OpenClipboard(nullptr);
    SetEvent(opened);
    WaitForSingleObject(done, 10000);
    if (open) CloseClipboard();
  });
  WaitForSingleObject(opened, 10000);

  SendChord({VK_CONTROL, 'V'});
  Pump();
  SetEvent(done);
  holder.join();
  CloseHandle(opened);
  CloseHandle(done);
  EXPECT_EQ(view->GetEntryCount(), 4);
  wchar_t busy[256]{};
  LoadStringW(GetModuleHandleW(nullptr), STR_PASTE_CLIPBOARD_BUSY, busy, 256);
  EXPECT_EQ(StatusText(), busy);
}

// F4 drops a time-of-day list as Enter does; Tab and Shift+Tab walk the cells of a selected
// cell, wrapping at a row's ends; Shift+F10 opens the menu under the focused cell.
TEST_F(FrameKeyboard, CellKeysDropTheListWalkTheCellsAndOpenTheMenuAtTheCell) {
  AmbientView* view = OpenSample(L"four-times-of-day.bad");
  ASSERT_NE(view, nullptr);
  view->SelectCell(0, kTimeOfDay);
  SetFocus(view->Handle());
  SendChord({VK_F4});
  Pump();
  HWND list = InplaceList::GetListBox(view->GetEditor());
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(IsWindowVisible(list));
  ASSERT_TRUE(view->CommitEdit());
  SetFocus(view->Handle());

  view->SelectCell(0, 5);
  SendChord({VK_TAB});
  Pump();
  EXPECT_EQ(std::pair(view->GetSelectedRow(), view->GetSelectedColumn()), std::pair(1, 0));
  SendChord({VK_SHIFT, VK_TAB});
  Pump();
  EXPECT_EQ(std::pair(view->GetSelectedRow(), view->GetSelectedColumn()), std::pair(0, 5));
  EXPECT_EQ(view->GetEditor(), nullptr) << "Tab on a selected cell opens no editor";

  view->SelectCell(1, kTimeOfDay);
  SetFocus(view->Handle());
  Pump();
  const RECT cell = view->GetCellRect(1, kTimeOfDay);
  const POINT under = ClientToScreenPoint(view->Handle(), cell.left, cell.bottom);
  RECT popup{};
  ModalScript menu;
  menu.Then([] { return ShownPopupMenu() != nullptr; },
            [&popup] {
              GetWindowRect(FindWindowW(L"#32768", nullptr), &popup);
              SendKey(VK_ESCAPE);
            });
  SendChord({VK_SHIFT, VK_F10});
  Pump();
  EXPECT_TRUE(menu.Finished());
  EXPECT_NEAR(popup.left, under.x, 2);
  EXPECT_NEAR(popup.top, under.y, 2);
}

// Undo and redo give back the very entries a step was made on, apart as they were, so that the
// next command acts on those and no others.
TEST_F(FrameKeyboard, UndoGivesBackAScatteredSelectionForTheNextCommand) {
  AmbientView* view = OpenSample(L"hundred-entries.bad");
  ASSERT_NE(view, nullptr);
  // Room for the copies first.
  view->SelectRows(50, 99, 50, 0);
  SendChord({VK_CONTROL, VK_DELETE});
  Pump();
  ASSERT_EQ(view->GetEntryCount(), 50);
  view->SelectRowSet({2, 3, 4, 7}, 2, 0);
  SendChord({VK_CONTROL, 'D'});
  Pump();
  ASSERT_EQ(view->GetEntryCount(), 54);
  SendChord({VK_CONTROL, 'Z'});
  Pump();
  EXPECT_EQ(view->GetSelectedEntries(), (std::vector<int>{2, 3, 4, 7}));
  SendChord({VK_CONTROL, 'Y'});
  Pump();
  EXPECT_EQ(view->GetSelectedEntries(), (std::vector<int>{8, 9, 10, 11}));
  SendChord({VK_CONTROL, 'Z'});
  Pump();

  view->SelectRowSet({1, 3, 5}, 5, 1);
  ASSERT_TRUE(view->OpenEditor(view->GetCellItem(5, 1), 5, 1));
  SetWindowTextW(view->GetEditor(), L"filled.wav");
  SendChord({VK_CONTROL, VK_RETURN});
  Pump();
  ASSERT_EQ(view->GetEntry(1).values.audioFile, L"filled.wav");
  SendChord({VK_CONTROL, 'Z'});
  Pump();
  EXPECT_EQ(view->GetSelectedEntries(), (std::vector<int>{1, 3, 5}));
  SendChord({VK_CONTROL, VK_DELETE});
  Pump();
  EXPECT_EQ(view->GetEntryCount(), 47);
}
