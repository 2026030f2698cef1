#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CellValueSupport.h"
#include "WinTestSupport.h"
#include "format/AmbientFileMessages.h"
#include "editor/AmbientView.h"
#include "format/TimeOfDay.h"
#include "format/Win32CodePageConverter.h"
#include "resources/ResourceIds.h"
#include "celleditors/InplaceList.h"
#include "griditems/ListItem.h"
#include "win/Reflection.h"

// The view finds its reasons in the program's string table under the ids the scripts use.
static_assert(kReasonTooManyToSave == STR_REASON_TOO_MANY_TO_SAVE &&
              kReasonNameTooLong == STR_REASON_NAME_TOO_LONG &&
              kReasonNameCharacter == STR_REASON_NAME_CHARACTER &&
              kReasonNameNotConvertible == STR_REASON_NAME_NOT_CONVERTIBLE &&
              kReasonValueUnreadable == STR_REASON_VALUE_UNREADABLE &&
              kReasonDataKept == STR_REASON_DATA_KEPT && kReasonSystemError == STR_REASON_SYSTEM_ERROR &&
              kReasonTooManyToOpen == STR_REASON_TOO_MANY_TO_OPEN);

namespace {

// Stands in for the frame: reflects every notification back to the control that sent it, and
// counts the refusals the frame would put into words.
class ReflectingParent : public Window {
 public:
  int refusals = 0;

 protected:
  bool HandleMessage(Message& m) override {
    if (m.msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(m.lParam)->code == static_cast<UINT>(GRIDN_VALUEREFUSED))
      ++refusals;
    if (ReflectNotification(m)) return true;
    return Window::HandleMessage(m);
  }
};

std::wstring Sample(const wchar_t* name) { return std::wstring(L"" SONARWICK_SAMPLES_DIR) + L"/" + name; }

// An entry record of a file: count at 0, record i at 2 + 116 i.
std::int32_t IntAt(const std::vector<char>& bytes, size_t offset) {
  std::int32_t value = 0;
  memcpy(&value, bytes.data() + offset, 4);
  return value;
}
size_t RecordOffset(int index) { return 2 + 116 * static_cast<size_t>(index); }

class AmbientViewTest : public testing::Test {
 protected:
  void SetUp() override {
    const WindowClass* parentClass = RegisterWindowClass(L"Sonarwick_ViewTestParent");
    parent.Create(parentClass, nullptr, RECT{0, 0, 1000, 600}, L"view", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    RECT client;
    GetClientRect(parent.Handle(), &client);
    ASSERT_NE(view.Create(parent.Handle(), client, 0, 0, 100), nullptr);
    BringToFront(view.Handle());

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder = std::wstring(temp) + L"sonarwick-view-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(GetTickCount());
    CreateDirectoryW(folder.c_str(), nullptr);
  }

  void TearDown() override {
    DestroyWindow(parent.Handle());
    for (const std::wstring& file : created) {
      SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(file.c_str());
    }
    RemoveDirectoryW(folder.c_str());
  }

  // A copy of a sample in the test's own folder.
  std::wstring CopyOfSample(const wchar_t* name) {
    std::wstring copy = TempFile(name);
    WriteFileBytes(copy, ReadFileBytes(Sample(name)));
    return copy;
  }

  std::wstring TempFile(const std::wstring& name) {
    std::wstring path = folder + L"\\" + name;
    created.push_back(path);
    return path;
  }

  void ClickCell(int row, int col) {
    RECT cell = view.GetCellRect(row, col);
    ClickAt(ClientToScreenPoint(view.Handle(), (cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
  }

  int RowCount() { return static_cast<int>(SendMessageW(view.Handle(), LVM_GETITEMCOUNT, 0, 0)); }

  ReflectingParent parent;
  AmbientView view;
  std::wstring folder;
  std::vector<std::wstring> created;
};

TEST_F(AmbientViewTest, ANewDocumentHasTheColumnsOnlyAndIsUnmodified) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(view.Handle(), LVM_GETHEADER, 0, 0));
  ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 6);
  wchar_t caption[64];
  HDITEMW column{};
  column.mask = HDI_TEXT | HDI_WIDTH;
  column.pszText = caption;
  column.cchTextMax = 64;
  SendMessageW(header, HDM_GETITEMW, 2, reinterpret_cast<LPARAM>(&column));
  EXPECT_STREQ(caption, L"Мин. время повтора, мс");
  // 150, or what the caption needs in the header's font where that is more.
  EXPECT_GE(column.cxy, 150);
  SendMessageW(header, HDM_GETITEMW, 0, reinterpret_cast<LPARAM>(&column));
  EXPECT_STREQ(caption, L"№");
  EXPECT_EQ(column.cxy, 50);

  EXPECT_FALSE(view.IsModified());
  EXPECT_STREQ(view.GetPath(), L"");
  EXPECT_EQ(RowCount(), 0);

  // It saves as a file without entries.
  std::wstring path = TempFile(L"new.bad");
  ASSERT_TRUE(view.SaveAs(path.c_str()));
  EXPECT_EQ(ReadFileBytes(path), (std::vector<char>{0, 0}));
  EXPECT_FALSE(view.IsModified());
}

TEST_F(AmbientViewTest, OpeningAndSavingSamplesUneditedReproducesThemByteForByte) {
  for (const wchar_t* name :
       {L"four-times-of-day.bad", L"bytes-behind-terminators.bad", L"extreme-numbers.bad",
        L"hundred-entries.bad", L"longest-names.bad", L"no-entries.bad"}) {
    SCOPED_TRACE(testing::Message() << std::string(name, name + wcslen(name)));
    AmbientView document;
    document.Create(parent.Handle(), RECT{0, 0, 900, 500}, 0, 0, 101);
    std::wstring path = CopyOfSample(name);
    std::vector<char> original = ReadFileBytes(path);
    ASSERT_TRUE(document.Load(path.c_str()));
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(document.GetPath(), path);
    int entries = original.size() >= 2 ? *reinterpret_cast<const std::int16_t*>(original.data()) : 0;
    EXPECT_EQ(document.GetDataRowCount(), entries < 0 ? 0 : entries);
    EXPECT_EQ(SendMessageW(document.Handle(), LVM_GETITEMCOUNT, 0, 0), document.GetDataRowCount() + 1);
    ASSERT_TRUE(document.Save());
    EXPECT_EQ(ReadFileBytes(path), original);
  }
}

TEST_F(AmbientViewTest, LoadedRowsShowTheirNumbersValuesAndTimeOfDay) {
  std::wstring path = CopyOfSample(L"four-times-of-day.bad");
  std::vector<char> bytes = ReadFileBytes(path);
  bytes[RecordOffset(1) + 8] = 5;  // a time of day the game does not know
  WriteFileBytes(path, bytes);
  ASSERT_TRUE(view.Load(path.c_str()));
  int rows = view.GetDataRowCount();
  ASSERT_GE(rows, 4);
  EXPECT_EQ(CellText(view, 0, 0), L"0");
  EXPECT_EQ(CellText(view, 3, 0), L"3");
  EXPECT_EQ(CellText(view, 0, 2), std::to_wstring(IntAt(bytes, RecordOffset(0))));
  EXPECT_EQ(CellText(view, 0, 5), std::to_wstring(IntAt(bytes, RecordOffset(0) + 112)));
  EXPECT_EQ(CellText(view, 1, 4), L"Рассвет");
  // The append row has one item, in column 0.
  EXPECT_NE(view.GetCellItem(rows, 0), nullptr);
  EXPECT_EQ(view.GetCellItem(rows, 1), nullptr);

  ASSERT_TRUE(view.Save());
  EXPECT_EQ(ReadFileBytes(path)[RecordOffset(1) + 8], 0);
}

TEST_F(AmbientViewTest, EditsThroughRealInputLandInTheirBytesAndMarkTheDocument) {
  std::wstring path = CopyOfSample(L"four-times-of-day.bad");
  ASSERT_TRUE(view.Load(path.c_str()));
  const std::wstring before[] = {CellText(view, 1, 2), CellText(view, 2, 1), CellText(view, 0, 4)};

  // Cancelling an editor does not mark the document.
  ClickCell(0, 1);
  ASSERT_NE(view.GetEditor(), nullptr);
  PressKey(VK_ESCAPE);
  PumpMessages();
  EXPECT_EQ(view.GetEditor(), nullptr);
  EXPECT_FALSE(view.IsModified());

  // A number.
  ClickCell(1, 2);
  ASSERT_NE(view.GetEditor(), nullptr);
  PressChord({VK_CONTROL, 'A'});
  TypeText(L"-1234");
  PressKey(VK_RETURN);
  PumpMessages();
  EXPECT_TRUE(view.IsModified());
  EXPECT_EQ(CellText(view, 1, 2), L"-1234");

  // A text with letters beyond ASCII that the file's code page holds.
  const wchar_t* const name = GetACP() == 1251 ? L"гром.wav" : L"tonnerre_é.wav";
  ClickCell(2, 1);
  ASSERT_NE(view.GetEditor(), nullptr);
  PressChord({VK_CONTROL, 'A'});
  TypeText(name);
  PressKey(VK_RETURN);
  PumpMessages();
  EXPECT_EQ(CellText(view, 2, 1), name);

  // A time of day, chosen in the dropped list with the mouse.
  ClickCell(0, 4);
  HWND editor = view.GetEditor();
  ASSERT_NE(editor, nullptr);
  HWND list = InplaceList::GetListBox(editor);
  ASSERT_TRUE(IsWindowVisible(list));
  RECT entry;
  SendMessageW(list, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&entry));
  ClickAt(ClientToScreenPoint(list, (entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2));
  PumpMessages();
  EXPECT_EQ(CellText(view, 0, 4), L"Ночь");

  ASSERT_TRUE(view.Save());
  EXPECT_FALSE(view.IsModified());
  std::vector<char> saved = ReadFileBytes(path);
  EXPECT_EQ(IntAt(saved, RecordOffset(1)), -1234);
  EXPECT_EQ(saved[RecordOffset(0) + 8], 3);
  std::optional<std::string> expected = ProcessCodePageConverter().FromUtf16(name);
  ASSERT_TRUE(expected.has_value());
  EXPECT_EQ(std::string(saved.data() + RecordOffset(2) + 9), *expected);

  // Each edit, the list choice included, is one step back; the saved state is the unmodified one.
  for (int step = 0; step < 3; ++step) view.Undo();
  EXPECT_FALSE(view.CanUndo());
  EXPECT_EQ(CellText(view, 1, 2), before[0]);
  EXPECT_EQ(CellText(view, 2, 1), before[1]);
  EXPECT_EQ(CellText(view, 0, 4), before[2]);
  EXPECT_TRUE(view.IsModified());
  for (int step = 0; step < 3; ++step) view.Redo();
  EXPECT_EQ(CellText(view, 0, 4), L"Ночь");
  EXPECT_FALSE(view.IsModified());
}

// Whatever road ends the edit (Enter, a click on another cell, Down, Tab), a refused value
// keeps its editor open on its cell with what was typed, and changes nothing.
TEST_F(AmbientViewTest, RefusedInputKeepsItsEditorOnEveryRoadAndChangesNothing) {
  std::wstring path = CopyOfSample(L"four-times-of-day.bad");
  std::vector<char> original = ReadFileBytes(path);
  ASSERT_TRUE(view.Load(path.c_str()));
  ClickCell(0, 3);
  HWND editor = view.GetEditor();
  ASSERT_NE(editor, nullptr);
  PressChord({VK_CONTROL, 'A'});
  TypeText(L"abc");
  PressKey(VK_RETURN);
  ClickCell(2, 1);
  PressKey(VK_DOWN);
  PressKey(VK_TAB);
  PumpMessages();
  EXPECT_EQ(view.GetEditor(), editor);
  EXPECT_EQ(view.GetSelectedRow(), 0);
  EXPECT_EQ(view.GetSelectedColumn(), 3);
  EXPECT_EQ(WindowText(editor), L"abc");
  EXPECT_EQ(CellText(view, 0, 3), std::to_wstring(IntAt(original, RecordOffset(0) + 4)));
  EXPECT_FALSE(view.IsModified());
  EXPECT_FALSE(view.CanUndo());
  EXPECT_EQ(GetFocus(), editor);

  // Mended, it goes in; choosing the same time of day again is no change at all.
  SendMessageW(editor, EM_SETSEL, 0, -1);
  TypeText(L"250");
  PressKey(VK_RETURN);
  PumpMessages();
  EXPECT_EQ(CellText(view, 0, 3), L"250");
  EXPECT_TRUE(view.IsModified());
  view.Undo();
  EXPECT_FALSE(view.IsModified());
  ClickCell(1, 4);
  PressKey(VK_ESCAPE);
  PressKey(VK_ESCAPE);
  PumpMessages();
  EXPECT_FALSE(view.IsModified());
  EXPECT_FALSE(view.CanUndo());
}

// What a screen reader reads of a cell: the list view's own text of it.
std::wstring ListText(const AmbientView& view, int row, int col) {
  wchar_t text[256] = L"";
  ListView_GetItemText(view.Handle(), row, col, text, static_cast<int>(std::size(text)));
  return text;
}

// Every column of every row reads as the entry it shows, numbered from its place.
void ExpectRowsShowEntries(const AmbientView& view) {
  ASSERT_EQ(view.GetDataRowCount(), view.GetEntryCount());
  for (int row = 0; row < view.GetEntryCount(); ++row) {
    const AmbientEntryValues& values = view.GetEntry(row).values;
    EXPECT_EQ(ListText(view, row, 0), std::to_wstring(row));
    EXPECT_EQ(ListText(view, row, 1), values.audioFile.value_or(L""));
    EXPECT_EQ(ListText(view, row, 2), std::to_wstring(values.minRepeatMs));
    EXPECT_EQ(ListText(view, row, 3), std::to_wstring(values.maxRepeatMs));
    EXPECT_EQ(ListText(view, row, 4), TimeOfDayCaptions[values.timeOfDay]);
    EXPECT_EQ(ListText(view, row, 5), std::to_wstring(values.volume));
  }
}

// Each command changes the entries, renumbers nothing by hand and leaves the selection on the
// block it touched, going forward and back through the history.
TEST_F(AmbientViewTest, EntryCommandsShowWhatTheyChangedAndSelectWhatTheyTouched) {
  ASSERT_TRUE(view.Load(CopyOfSample(L"four-times-of-day.bad").c_str()));
  ExpectRowsShowEntries(view);
  const std::wstring second = view.GetEntry(1).values.audioFile.value_or(L"");
  view.SelectCell(1, 2);
  ASSERT_TRUE(view.DuplicateEntry());
  EXPECT_EQ(view.GetSelectedEntry(), 2);
  EXPECT_EQ(view.GetSelectedColumn(), 2);
  view.MoveEntry(+1);
  EXPECT_EQ(view.GetSelectedEntry(), 3);
  // The cursor keeps its column, though the rows under it were rebuilt.
  EXPECT_EQ(view.GetSelectedColumn(), 2);
  view.MoveEntry(-1);
  view.MoveEntry(-1);
  EXPECT_EQ(view.GetSelectedEntry(), 1);
  view.SelectCell(0, 1);
  view.DeleteEntry();
  EXPECT_EQ(view.GetSelectedEntry(), 0);
  EXPECT_EQ(view.GetSelectedColumn(), 1);
  EXPECT_EQ(view.GetEntryCount(), 4);
  EXPECT_EQ(ListText(view, 0, 1), second);
  ExpectRowsShowEntries(view);

  const int selectedAfterUndo[] = {0, 2, 3, 2, 1};
  for (int expected : selectedAfterUndo) {
    view.Undo();
    EXPECT_EQ(view.GetSelectedEntry(), expected);
  }
  EXPECT_FALSE(view.IsModified());
  ExpectRowsShowEntries(view);
  const int selectedAfterRedo[] = {2, 3, 2, 1, 0};
  for (int expected : selectedAfterRedo) {
    view.Redo();
    EXPECT_EQ(view.GetSelectedEntry(), expected);
  }
  ExpectRowsShowEntries(view);
}

// Rows put in or taken out shift the rows below them on the screen rather than being painted
// again: whatever the command, what the screen then shows is what a whole new paint shows.
TEST_F(AmbientViewTest, RowsShiftedOnTheScreenShowWhatAWholePaintShows) {
  ASSERT_TRUE(view.Load(CopyOfSample(L"hundred-entries.bad").c_str()));
  RedrawWindow(view.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const auto sameAsWholePaint = [&](const char* step) {
    UpdateWindow(view.Handle());
    const std::vector<DWORD> shifted = ClientPixels(view.Handle());
    RedrawWindow(view.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(shifted == ClientPixels(view.Handle())) << step;
  };
  // Each command comes with the screen painted, as a key does.
  view.SelectCell(3, 1);
  UpdateWindow(view.Handle());
  view.DeleteEntry();
  sameAsWholePaint("delete");
  ASSERT_TRUE(view.DuplicateEntry());
  sameAsWholePaint("duplicate");
  view.Undo();
  sameAsWholePaint("undo");
  view.Redo();
  sameAsWholePaint("redo");
  view.DeleteEntry();
  view.Undo();
  sameAsWholePaint("undo of a delete");
  view.SelectRows(5, 7, 5, 1);
  UpdateWindow(view.Handle());
  view.DeleteEntry();
  sameAsWholePaint("delete of three");
  view.Undo();
  sameAsWholePaint("undo of three");
  // Scrolled down: a change above the first row shown, and one among the rows shown.
  SendMessageW(view.Handle(), LVM_SCROLL, 0, 10 * (view.GetCellRect(1, 0).top - view.GetCellRect(0, 0).top));
  UpdateWindow(view.Handle());
  view.SelectCell(2, 1);
  UpdateWindow(view.Handle());
  view.DeleteEntry();
  sameAsWholePaint("delete above the rows shown");
  view.SelectCell(14, 3);
  UpdateWindow(view.Handle());
  ASSERT_TRUE(view.InsertEntry());
  PumpMessages();
  sameAsWholePaint("insert among the rows shown");
}

// A click with Shift or Ctrl held, as the mouse message carries them. (Under Wine a click made
// with SendInput takes the modifiers from the X server, which never saw SendInput's keys.)
void ModifiedClick(const AmbientView& view, int row, int col, WPARAM modifiers) {
  RECT cell = view.GetCellRect(row, col);
  POINT point{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
  POINT screen = ClientToScreenPoint(view.Handle(), point.x, point.y);
  SetCursorPos(screen.x, screen.y);
  PostMessageW(view.Handle(), WM_LBUTTONDOWN, MK_LBUTTON | modifiers, MAKELPARAM(point.x, point.y));
  PostMessageW(view.Handle(), WM_LBUTTONUP, modifiers, MAKELPARAM(point.x, point.y));
  PumpMessages();
}

std::vector<std::wstring> Names(const AmbientView& view) {
  std::vector<std::wstring> names;
  for (int row = 0; row < view.GetEntryCount(); ++row) names.push_back(view.GetEntry(row).values.audioFile.value_or(L""));
  return names;
}

// Shift+arrows and Shift+click extend, Ctrl+click adds, Ctrl+A takes every entry; the entry
// commands then work on the whole selection as one step each, and Ctrl+Enter sets a value in
// every selected entry.
TEST_F(AmbientViewTest, SelectedEntriesAreEditedAsOneBlock) {
  ASSERT_TRUE(view.Load(CopyOfSample(L"hundred-entries.bad").c_str()));
  const std::vector<std::wstring> original = Names(view);
  ClickCell(2, 0);
  PressChord({VK_SHIFT, VK_DOWN});
  PressChord({VK_SHIFT, VK_DOWN});
  EXPECT_EQ(view.GetSelectedEntries(), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(view.GetSelectedEntry(), 4);

  view.MoveEntry(+1);
  EXPECT_EQ(view.GetSelectedEntries(), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(Names(view)[2], original[5]);
  view.Undo();
  EXPECT_EQ(Names(view), original);
  EXPECT_EQ(view.GetSelectedEntries(), (std::vector<int>{2, 3, 4}));
  view.Redo();
  EXPECT_EQ(view.GetSelectedEntries(), (std::vector<int>{3, 4, 5}));
  view.Undo();

  // Ctrl+click adds rows apart; the block moves as one and stops at the top.
  ClickCell(0, 0);
  ModifiedClick(view, 3, 0, MK_CONTROL);
  ModifiedClick(view, 5, 0, MK_CONTROL);
  EXPECT_EQ(view.GetSelectedEntries(), (std::vector<int>{0, 3, 5}));
  view.MoveEntry(-1);
  EXPECT_EQ(Names(view), original);
  view.MoveEntry(+1);
  EXPECT_EQ(Names(view)[1], original[0]);
  EXPECT_EQ(Names(view)[4], original[3]);
  EXPECT_EQ(Names(view)[3], original[4]);
  view.DeleteEntry();
  EXPECT_EQ(view.GetEntryCount(), 97);
  // With room again, a block is duplicated below itself, and a full document refuses.
  const std::vector<std::wstring> shrunk = Names(view);
  view.SelectRows(2, 4, 2, 0);
  ASSERT_TRUE(view.DuplicateEntry());
  EXPECT_EQ(view.GetEntryCount(), 100);
  EXPECT_EQ(view.GetSelectedEntries(), (std::vector<int>{5, 6, 7}));
  EXPECT_EQ(Names(view)[5], shrunk[2]);
  EXPECT_FALSE(view.DuplicateEntry());
  view.Undo();
  view.Undo();
  view.Undo();
  EXPECT_EQ(Names(view), original);
  EXPECT_FALSE(view.IsModified());

  // Ctrl+Enter in the volume editor sets the value in every selected entry.
  ClickCell(10, 0);
  ModifiedClick(view, 13, 0, MK_SHIFT);
  EXPECT_EQ(view.GetSelectedEntries(), (std::vector<int>{10, 11, 12, 13}));
  view.SelectRows(10, 13, 10, 5);
  ASSERT_TRUE(view.OpenEditor(view.GetCellItem(10, 5), 10, 5));
  SendMessageW(view.GetEditor(), EM_SETSEL, 0, -1);
  TypeText(L"7");
  PressChord({VK_CONTROL, VK_RETURN});
  PumpMessages();
  for (int row = 10; row <= 13; ++row) EXPECT_EQ(view.GetEntry(row).values.volume, 7) << row;
  EXPECT_NE(view.GetEntry(14).values.volume, 7);
  view.Undo();
  for (int row = 10; row <= 13; ++row) EXPECT_NE(view.GetEntry(row).values.volume, 7) << row;

  SetFocus(view.Handle());
  PressChord({VK_CONTROL, 'A'});
  EXPECT_EQ(view.GetSelectedEntries().size(), 100u);
}

// However often Enter asks again, a refused value stays in its editor, with the focus, and is
// refused (and so said) again: a number with letters and a name the code page lacks alike. A
// refused Ctrl+Enter leaves nothing armed: the plain Enter that commits the mended name sets
// only its own entry.
TEST_F(AmbientViewTest, ARefusedValueOutlastsRepeatedEnterAndArmsNoFill) {
  ASSERT_TRUE(view.Load(CopyOfSample(L"hundred-entries.bad").c_str()));
  const std::vector<std::wstring> original = Names(view);
  const std::int32_t maxRepeat = view.GetEntry(0).values.maxRepeatMs;
  ClickCell(0, 3);
  HWND editor = view.GetEditor();
  ASSERT_NE(editor, nullptr);
  PressChord({VK_CONTROL, 'A'});
  TypeText(L"abc");
  for (int press = 1; press <= 3; ++press) {
    PressKey(VK_RETURN);
    PumpMessages();
    EXPECT_EQ(view.GetEditor(), editor) << press;
    EXPECT_EQ(WindowText(editor), L"abc") << press;
    EXPECT_EQ(GetFocus(), editor) << press;
    EXPECT_EQ(parent.refusals, press);
  }
  EXPECT_EQ(view.GetEntry(0).values.maxRepeatMs, maxRepeat);
  PressKey(VK_ESCAPE);
  PumpMessages();
  EXPECT_EQ(view.GetEditor(), nullptr);

  const wchar_t* lacking = GetACP() == 1251 ? L"\u65E5\u672C.wav" : L"\u043B\u0435\u0441.wav";
  view.SelectRowSet({1, 3, 5}, 5, 1);
  ASSERT_TRUE(view.OpenEditor(view.GetCellItem(5, 1), 5, 1));
  editor = view.GetEditor();
  SendMessageW(editor, EM_SETSEL, 0, -1);
  TypeText(lacking);
  PressChord({VK_CONTROL, VK_RETURN});
  PressKey(VK_RETURN);
  PumpMessages();
  EXPECT_EQ(view.GetEditor(), editor);
  EXPECT_EQ(WindowText(editor), lacking);
  EXPECT_FALSE(view.GetRefusalReason().empty());
  EXPECT_EQ(Names(view), original);

  SendMessageW(editor, EM_SETSEL, 0, -1);
  TypeText(L"mended.wav");
  PressKey(VK_RETURN);
  PumpMessages();
  EXPECT_EQ(view.GetEditor(), nullptr);
  std::vector<std::wstring> mended = original;
  mended[5] = L"mended.wav";
  EXPECT_EQ(Names(view), mended);
}

// Find and replace gives many entries new names as one step, or refuses them all.
TEST_F(AmbientViewTest, NewNamesAreOneStepAndARefusedOneChangesNothing) {
  ASSERT_TRUE(view.Load(CopyOfSample(L"four-times-of-day.bad").c_str()));
  std::vector<std::wstring> names, renamed;
  for (int index = 0; index < view.GetEntryCount(); ++index)
    names.push_back(view.GetEntry(index).values.audioFile.value_or(L""));
  renamed = names;
  renamed[1] = L"woods\\a.wav";
  renamed[3] = L"woods\\b.wav";

  std::vector<std::wstring> refused = renamed;
  refused[2] = L"tab\there.wav";
  EXPECT_NE(view.ReplaceNames(refused).find(L"№ 2,"), std::wstring::npos);
  EXPECT_EQ(view.ReplaceNames(renamed, false), L"");  // only asks
  EXPECT_FALSE(view.CanUndo());
  EXPECT_FALSE(view.IsModified());

  EXPECT_EQ(view.ReplaceNames(renamed), L"");
  EXPECT_EQ(view.GetSelectedEntry(), 1);
  for (int index = 0; index < view.GetEntryCount(); ++index)
    EXPECT_EQ(view.GetEntry(index).values.audioFile, renamed[static_cast<size_t>(index)]);
  ExpectRowsShowEntries(view);
  view.Undo();
  EXPECT_FALSE(view.CanUndo());
  EXPECT_FALSE(view.IsModified());
  for (int index = 0; index < view.GetEntryCount(); ++index)
    EXPECT_EQ(view.GetEntry(index).values.audioFile, names[static_cast<size_t>(index)]);
  ExpectRowsShowEntries(view);
}

TEST_F(AmbientViewTest, SaveAsThenSaveWritesToTheNewPath) {
  std::wstring path = CopyOfSample(L"extreme-numbers.bad");
  std::vector<char> original = ReadFileBytes(path);
  ASSERT_TRUE(view.Load(path.c_str()));
  std::wstring other = TempFile(L"other.bad");
  ASSERT_TRUE(view.SaveAs(other.c_str()));
  EXPECT_EQ(view.GetPath(), other);
  EXPECT_EQ(ReadFileBytes(other), original);

  VariantNumber value(77);
  SendMessageW(view.Handle(), GRIDM_SETITEMVALUE, reinterpret_cast<WPARAM>(value.get()),
               reinterpret_cast<LPARAM>(view.GetCellItem(0, 5)));
  EXPECT_TRUE(view.IsModified());
  ASSERT_TRUE(view.Save());
  EXPECT_EQ(IntAt(ReadFileBytes(other), RecordOffset(0) + 112), 77);
  EXPECT_EQ(ReadFileBytes(path), original);
}

TEST_F(AmbientViewTest, AFailingSaveKeepsTheFileAndTheModifiedFlag) {
  std::wstring path = CopyOfSample(L"four-times-of-day.bad");
  const std::vector<char> original = ReadFileBytes(path);
  ASSERT_TRUE(view.Load(path.c_str()));
  VariantNumber value(5);
  SendMessageW(view.Handle(), GRIDM_SETITEMVALUE, reinterpret_cast<WPARAM>(value.get()),
               reinterpret_cast<LPARAM>(view.GetCellItem(0, 2)));
  ASSERT_TRUE(view.IsModified());

  // Whatever keeps the file from being replaced, the reason is the system's own text.
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(view.Save());
  EXPECT_EQ(view.GetLastSaveError(), SystemErrorText(ERROR_ACCESS_DENIED));
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  const HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(view.Save());
  CloseHandle(held);
  EXPECT_EQ(view.GetLastSaveError(), SystemErrorText(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(ReadFileBytes(path), original);
  EXPECT_TRUE(view.IsModified());
  EXPECT_FALSE(view.SaveAs((folder + L"\\no such folder\\a.bad").c_str()));
  EXPECT_EQ(view.GetLastSaveError(), SystemErrorText(ERROR_PATH_NOT_FOUND));
  EXPECT_TRUE(view.IsModified());

  // A text too long for its field is refused before any disk is touched.
  VariantText text(std::wstring(103, L'x').c_str());
  SendMessageW(view.Handle(), GRIDM_SETITEMVALUE, reinterpret_cast<WPARAM>(text.get()),
               reinterpret_cast<LPARAM>(view.GetCellItem(1, 1)));
  EXPECT_FALSE(view.Save());
  EXPECT_NE(view.GetLastSaveError().find(L"№ 1,"), std::wstring::npos);
  EXPECT_TRUE(view.IsModified());
  EXPECT_EQ(ReadFileBytes(path), original);
  EXPECT_EQ(view.GetDataRowCount(), 4);
}

TEST_F(AmbientViewTest, TheAppendRowAddsEntriesUpToTheLimit) {
  std::wstring path = CopyOfSample(L"four-times-of-day.bad");
  ASSERT_TRUE(view.Load(path.c_str()));
  int rows = view.GetDataRowCount();

  // A click on the append row adds an entry before it and opens its file-name editor.
  ClickCell(rows, 0);
  PumpMessages();
  ASSERT_EQ(view.GetDataRowCount(), rows + 1);
  EXPECT_TRUE(view.IsModified());
  EXPECT_EQ(CellText(view, rows, 0), std::to_wstring(rows));
  EXPECT_EQ(CellText(view, rows, 1), L"");
  EXPECT_EQ(CellText(view, rows, 2), L"0");
  EXPECT_EQ(CellText(view, rows, 4), L"Рассвет");
  EXPECT_EQ(view.GetSelectedRow(), rows);
  EXPECT_EQ(view.GetSelectedColumn(), 1);
  ASSERT_NE(view.GetEditor(), nullptr);
  TypeText(L"new.wav");
  PressKey(VK_RETURN);
  PumpMessages();
  EXPECT_EQ(CellText(view, rows, 1), L"new.wav");

  // Enter on the append row adds the next, up to a hundred entries; then nothing more.
  while (view.GetDataRowCount() < MaxAmbientEntries) {
    int before = view.GetDataRowCount();
    view.SelectCell(before, 0);
    SendMessageW(view.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages();
    ASSERT_EQ(view.GetDataRowCount(), before + 1);
  }
  view.SelectCell(MaxAmbientEntries, 0);
  SendMessageW(view.Handle(), WM_KEYDOWN, VK_RETURN, 0);
  PumpMessages();
  EXPECT_EQ(view.GetDataRowCount(), MaxAmbientEntries);

  ASSERT_TRUE(view.Save());
  AmbientView reopened;
  reopened.Create(parent.Handle(), RECT{0, 0, 900, 500}, 0, 0, 102);
  ASSERT_TRUE(reopened.Load(path.c_str()));
  ASSERT_EQ(reopened.GetDataRowCount(), MaxAmbientEntries);
  for (int row = 0; row < MaxAmbientEntries; ++row) {
    for (int col = 0; col < 6; ++col) ASSERT_EQ(CellText(reopened, row, col), CellText(view, row, col));
  }
}

TEST_F(AmbientViewTest, ANewDocumentHasNoAppendRowToAddWith) {
  NMHDR header{view.Handle(), 100, static_cast<UINT>(GRIDN_ADDROW)};
  GridNotify notify{header, nullptr};
  SendMessageW(parent.Handle(), WM_NOTIFY, 100, reinterpret_cast<LPARAM>(&notify));
  PumpMessages();
  EXPECT_EQ(RowCount(), 0);
}

// A name is stored as typed or not at all: never with '?' or a look-alike for what the file's
// code page lacks.
TEST_F(AmbientViewTest, ANameTheCodePageCannotHoldIsRefusedNamingTheCharacter) {
  const std::wstring path = CopyOfSample(L"four-times-of-day.bad");
  const std::vector<char> original = ReadFileBytes(path);
  ASSERT_TRUE(view.Load(path.c_str()));
  const bool russian = GetACP() == 1251;
  VariantText text(russian ? L"naïve_日本.ogg" : L"лес.ogg");
  SendMessageW(view.Handle(), GRIDM_SETITEMVALUE, reinterpret_cast<WPARAM>(text.get()),
               reinterpret_cast<LPARAM>(view.GetCellItem(2, 1)));

  EXPECT_FALSE(view.Save());

  const std::wstring reason = view.GetLastSaveError();
  EXPECT_NE(reason.find(L"№ 2,"), std::wstring::npos) << reason;
  EXPECT_NE(reason.find(russian ? L"«ï» (U+00EF)" : L"“л” (U+043B)"), std::wstring::npos) << reason;
  EXPECT_EQ(ReadFileBytes(path), original);
  EXPECT_TRUE(view.IsModified());
}

TEST_F(AmbientViewTest, AFileThatCannotBeReadFailsToLoadSayingWhy) {
  EXPECT_FALSE(view.Load(TempFile(L"missing.bad").c_str()));
  EXPECT_EQ(view.GetLastLoadError(), SystemErrorText(ERROR_FILE_NOT_FOUND));
  std::vector<char> tooMany(2 + 116 * 101, 0);
  tooMany[0] = 101;
  std::wstring path = TempFile(L"too-many.bad");
  WriteFileBytes(path, tooMany);
  AmbientView other;
  other.Create(parent.Handle(), RECT{0, 0, 900, 500}, 0, 0, 103);
  EXPECT_FALSE(other.Load(path.c_str()));
  EXPECT_NE(other.GetLastLoadError().find(L"101"), std::wstring::npos);
  EXPECT_NE(other.GetLastLoadError().find(L"100"), std::wstring::npos);
}

}  // namespace
