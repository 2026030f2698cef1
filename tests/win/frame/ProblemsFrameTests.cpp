// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <functional>
#include <string>
#include <vector>

#include "AmbienceTestSounds.h"
#include "AmbientFileBytes.h"
#include "FrameTestSupport.h"
#include "WinTestSupport.h"
#include "commands/CommandStrings.h"
#include "panes/ProblemsPane.h"
#include "resources/ResourceIds.h"

namespace {

ProblemsPane* FindProblemsPane(HWND frame) {
  HWND pane = FindWindowExW(frame, nullptr, L"Sonarwick_ProblemsPane", nullptr);
  return pane != nullptr ? dynamic_cast<ProblemsPane*>(Window::FromHandle(pane)) : nullptr;
}

void WriteList(const std::wstring& path, const std::vector<AmbientEntry>& entries) {
  AmbientFileBytes bytes;
  bytes.Count(static_cast<std::int16_t>(entries.size()));
  for (const AmbientEntry& entry : entries) bytes.Record(entry);
  const auto* data = reinterpret_cast<const char*>(bytes.bytes().data());
  WriteFileBytes(path, std::vector<char>(data, data + bytes.bytes().size()));
}

int RowCount(const ProblemsPane& pane) { return ListView_GetItemCount(pane.ListHandle()); }

// Whether the pane lists `rule` on `entry`; and the sentence it shows for it (empty: not listed).
std::wstring SentenceOf(const ProblemsPane& pane, int entry, std::string_view rule) {
  for (int row = 0; row < ListView_GetItemCount(pane.ListHandle()); ++row) {
    const PaneProblem* problem = pane.RowProblem(row);
    if (problem->problem.entry != entry || problem->problem.ruleId != rule) continue;
    wchar_t text[1024]{};
    ListView_GetItemText(pane.ListHandle(), row, static_cast<int>(ProblemsPaneColumn::Description), text, 1024);
    return text;
  }
  return {};
}
bool Lists(const ProblemsPane& pane, int entry, std::string_view rule) { return !SentenceOf(pane, entry, rule).empty(); }

// The system's own words for `error`, as its message table has them.
std::wstring SystemWords(DWORD error) {
  wchar_t text[512]{};
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, 512, nullptr);
  std::wstring words = text;
  while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L'.')) words.pop_back();
  return words;
}

// The rows as "title rule" lines, for the messages of failed expectations.
std::string RowsText(const ProblemsPane& pane) {
  std::string text;
  for (int row = 0; row < RowCount(pane); ++row) {
    const PaneProblem* problem = pane.RowProblem(row);
    for (wchar_t character : problem->documentTitle) text += static_cast<char>(character);
    text += " " + std::string(problem->problem.ruleId) + " " + std::to_string(problem->problem.entry) + "\n";
  }
  return text;
}

// The row of `rule` in the document titled `title`; -1 when it is not listed.
int RowOf(const ProblemsPane& pane, const std::wstring& title, std::string_view rule) {
  for (int row = 0; row < RowCount(pane); ++row) {
    const PaneProblem* problem = pane.RowProblem(row);
    if (problem->documentTitle.starts_with(title) && problem->problem.ruleId == rule) return row;
  }
  return -1;
}

void FocusRow(const ProblemsPane& pane, int row) {
  SetFocus(pane.ListHandle());
  ListView_SetItemState(pane.ListHandle(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemState(pane.ListHandle(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

std::wstring CountsPane(HWND statusBar) {
  wchar_t text[256]{};
  SendMessageW(statusBar, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(text));
  return text;
}

class ProblemsInFrame : public FrameTest {
 protected:
  // Pumps as the loop does until `done`, or five seconds: sound files are probed on a thread.
  bool PumpUntil(const std::function<bool()>& done) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000;) {
      Pump();
      if (done()) return true;
    }
    return false;
  }

  // The sound folder holds "rain.wav", a tenth of a second long; "gone.wav" is nowhere.
  void PlantLists() {
    const std::wstring sounds = folder + L"\\sounds";
    CreateDirectoryW(sounds.c_str(), nullptr);
    const std::vector<std::byte> wave = ambience_test::WaveFile(std::vector<std::int16_t>(2205), 22050, 1);
    const auto* data = reinterpret_cast<const char*>(wave.data());
    WriteFileBytes(TempFile(L"sounds\\rain.wav"), std::vector<char>(data, data + wave.size()));
    TestSettings().SetString(L"SoundFolder", sounds);
    first = TempFile(L"first.bad");
    WriteList(first, {MakeEntry(5000, 1000, 1, "rain.wav", 50),      // maximum below the minimum
                      MakeEntry(1000, 2000, 1, "C:\\rain.wav", 50),  // a drive letter before a found name
                      MakeEntry(1000, 2000, 1, "gone.wav", 50)});    // not in the folder
    second = TempFile(L"second.bad");
    // No such time of day: shown as Dawn, but the file holds it until saved.
    WriteList(second, {MakeEntry(1000, 2000, 7, "rain.wav", 50)});
  }

  void TearDown() override {
    FrameTest::TearDown();
    DeleteFileW((folder + L"\\sounds\\rain.wav").c_str());
    RemoveDirectoryW((folder + L"\\sounds").c_str());
    RemoveDirectoryW(folder.c_str());
  }

  std::wstring first, second;
};

std::vector<char> WaveBytes() {
  const std::vector<std::byte> wave = ambience_test::WaveFile(std::vector<std::int16_t>(2205), 22050, 1);
  const auto* data = reinterpret_cast<const char*>(wave.data());
  return std::vector<char>(data, data + wave.size());
}

// The editor stays in front, never deactivated, while another program creates, deletes and
// overwrites sounds: the pane and the counts follow each change within a bounded pump.
TEST_F(ProblemsInFrame, ThePaneFollowsTheSoundFolderWhileTheEditorStaysInFront) {
  PlantLists();
  const std::wstring list = TempFile(L"watched.bad");
  WriteList(list, {MakeEntry(1000, 2000, 1, "rain.wav", 50), MakeEntry(1000, 2000, 1, "later.wav", 50)});
  const std::wstring later = TempFile(L"sounds\\later.wav");
  ASSERT_TRUE(frame->OpenDocument(list));
  Command(CMD_VIEW_PROBLEMS);
  ProblemsPane* pane = FindProblemsPane(Hwnd());
  ASSERT_NE(pane, nullptr);
  const auto counts = [&] { return CountsPane(frame->StatusBarWindow()); };
  const auto errors = [&](int count) { return FormatCommandStrings(STR_PROBLEMS_COUNTS, {std::to_wstring(count), L"0"}); };
  ASSERT_TRUE(PumpUntil([&] { return RowCount(*pane) == 1 && Lists(*pane, 1, "BAD004"); })) << RowsText(*pane);
  EXPECT_EQ(counts().find(errors(1)), 0u) << counts();

  WriteFileBytes(later, WaveBytes());
  EXPECT_TRUE(PumpUntil([&] { return RowCount(*pane) == 0; })) << "a sound created: " << RowsText(*pane);
  EXPECT_EQ(counts().find(LoadCommandString(STR_PROBLEMS_NONE)), 0u) << counts();

  ASSERT_TRUE(DeleteFileW((folder + L"\\sounds\\rain.wav").c_str()));
  EXPECT_TRUE(PumpUntil([&] { return RowCount(*pane) == 1 && Lists(*pane, 0, "BAD004"); }))
      << "a sound deleted: " << RowsText(*pane);
  EXPECT_EQ(counts().find(errors(1)), 0u) << counts();

  WriteFileBytes(later, {'n', 'o', ' ', 's', 'o', 'u', 'n', 'd'});
  EXPECT_TRUE(PumpUntil([&] { return RowCount(*pane) == 2 && Lists(*pane, 1, "BAD005"); }))
      << "a sound overwritten: " << RowsText(*pane);
  EXPECT_EQ(counts().find(errors(2)), 0u) << counts();
}

// The pick for a missing file starts in the folder its name points into, where its file most
// likely is: a bare name typed there is found beside it, not at the sound folder's root.
TEST_F(ProblemsInFrame, PickingTheFileStartsInTheFolderTheNamePointsInto) {
  PlantLists();
  CreateDirectoryW((folder + L"\\sounds\\forest").c_str(), nullptr);
  const std::wstring owl = TempFile(L"sounds\\forest\\rain.wav");
  WriteFileBytes(owl, WaveBytes());
  const std::wstring list = TempFile(L"forest.bad");
  WriteList(list, {MakeEntry(1000, 2000, 1, "forest\\gone.wav", 50)});
  ASSERT_TRUE(frame->OpenDocument(list));
  Command(CMD_VIEW_PROBLEMS);
  ProblemsPane* pane = FindProblemsPane(Hwnd());
  ASSERT_NE(pane, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Lists(*pane, 0, "BAD004"); })) << RowsText(*pane);
  AmbientView* view = frame->ActiveView();
  view->SelectCell(0, 1);
  SetFocus(view->Handle());
  ModalScript pick;
  AnswerFileDialog(pick, L"rain.wav");
  CommandWithScript(CMD_PROBLEM_QUICKFIX, pick);
  EXPECT_EQ(view->GetEntry(0).values.audioFile.value_or(L""), L"forest\\rain.wav");
  DeleteFileW(owl.c_str());
  RemoveDirectoryW((folder + L"\\sounds\\forest").c_str());
}

// A file that is there but held without sharing is not missing: it cannot be read, the system
// says why, and picking another file is not offered. Nor is a name the system refuses missing.
TEST_F(ProblemsInFrame, AFileThatIsThereButCannotBeReadIsNotMissing) {
  PlantLists();
  const std::wstring list = TempFile(L"locked.bad");
  WriteList(list, {MakeEntry(1000, 2000, 1, "rain.wav", 50), MakeEntry(1000, 2000, 1, "ra|n.wav", 50)});
  const std::wstring rain = folder + L"\\sounds\\rain.wav";
  HANDLE held = CreateFileW(rain.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(frame->OpenDocument(list));
  Command(CMD_VIEW_PROBLEMS);
  ProblemsPane* pane = FindProblemsPane(Hwnd());
  ASSERT_NE(pane, nullptr);
  const bool found = PumpUntil([&] { return Lists(*pane, 0, "BAD005") && Lists(*pane, 1, "BAD005"); });
  CloseHandle(held);
  ASSERT_TRUE(found) << RowsText(*pane);
  EXPECT_FALSE(Lists(*pane, 0, "BAD004"));
  EXPECT_FALSE(Lists(*pane, 1, "BAD004"));
  const std::wstring sentence = SentenceOf(*pane, 0, "BAD005");
  EXPECT_NE(sentence.find(SystemWords(ERROR_SHARING_VIOLATION)), std::wstring::npos) << std::string(sentence.begin(), sentence.end());
  EXPECT_NE(SentenceOf(*pane, 1, "BAD005").find(SystemWords(ERROR_INVALID_NAME)), std::wstring::npos);
  for (int row = 0; row < RowCount(*pane); ++row) EXPECT_EQ(pane->RowProblem(row)->fix, QuickFixKind::None);
}

// Two documents with problems planted: the pane lists them all, Enter goes to one, a quick fix
// is one step of the history, F8 walks the active document's, and the status bar counts them.
TEST_F(ProblemsInFrame, ListsGoesToFixesAndWalksTheProblemsOfEveryDocument) {
  PlantLists();
  ASSERT_TRUE(frame->OpenDocument(first));
  ASSERT_TRUE(frame->OpenDocument(second));
  Command(CMD_VIEW_PROBLEMS);
  ProblemsPane* pane = FindProblemsPane(Hwnd());
  ASSERT_NE(pane, nullptr);
  EXPECT_TRUE(IsWindowVisible(pane->Handle()));
  EXPECT_TRUE(ViewItemChecked(CMD_VIEW_PROBLEMS));
  EXPECT_EQ(GetFocus(), pane->ListHandle()) << "the list asked for is there to be read";
  EXPECT_LE(ChildRect(frame->ClientWindow()).bottom, ChildRect(pane->Handle()).top);
  ASSERT_TRUE(PumpUntil([&] { return RowCount(*pane) == 4; })) << RowsText(*pane);
  EXPECT_NE(RowOf(*pane, L"first", "BAD001"), -1);
  EXPECT_NE(RowOf(*pane, L"first", "BAD004"), -1) << "the missing file, once probed";
  EXPECT_NE(RowOf(*pane, L"first", "BAD006"), -1);
  EXPECT_NE(RowOf(*pane, L"second", "BAD009"), -1);
  // The active document is the second: one error.
  EXPECT_EQ(
      CountsPane(frame->StatusBarWindow()).find(FormatCommandStrings(STR_PROBLEMS_COUNTS, {L"1", L"0"})), 0u)
      << CountsPane(frame->StatusBarWindow());

  // Ctrl+A and Ctrl+C in the pane copy problems, not the document's entries.
  SetFocus(pane->ListHandle());
  SendChord({VK_CONTROL, 'A'});
  SendChord({VK_CONTROL, 'C'});
  Pump();
  const std::wstring copied = ClipboardText();
  EXPECT_NE(copied.find(L"\tBAD009\t"), std::wstring::npos) << copied;
  EXPECT_NE(copied.find(L"\tBAD006\t"), std::wstring::npos) << copied;

  // Enter on a problem of the first document: its tab, the cursor on the name, the focus there.
  FocusRow(*pane, RowOf(*pane, L"first", "BAD006"));
  SendChord({VK_RETURN});
  Pump();
  ASSERT_EQ(frame->Tabs().GetActivePage(), 0);
  AmbientView* view = frame->ActiveView();
  EXPECT_EQ(view->GetSelectedEntry(), 1);
  EXPECT_EQ(view->GetSelectedColumn(), 1);
  EXPECT_EQ(GetFocus(), view->Handle());
  EXPECT_EQ(
      CountsPane(frame->StatusBarWindow()).find(FormatCommandStrings(STR_PROBLEMS_COUNTS, {L"3", L"0"})), 0u)
      << "the counts follow the active document: " << CountsPane(frame->StatusBarWindow());

  // Ctrl+. on a problem of the pane swaps the repeat times; one undo brings them back.
  FocusRow(*pane, RowOf(*pane, L"first", "BAD001"));
  SendChord({VK_CONTROL, VK_OEM_PERIOD});
  Pump();
  EXPECT_EQ(view->GetEntry(0).values.minRepeatMs, 1000);
  EXPECT_EQ(view->GetEntry(0).values.maxRepeatMs, 5000);
  EXPECT_EQ(RowOf(*pane, L"first", "BAD001"), -1) << "the fixed problem leaves the list";
  SendChord({VK_CONTROL, 'Z'});
  Pump();
  EXPECT_EQ(view->GetEntry(0).values.minRepeatMs, 5000);
  EXPECT_EQ(view->GetEntry(0).values.maxRepeatMs, 1000);
  EXPECT_FALSE(view->CanUndo()) << "the fix was one step";
  EXPECT_NE(RowOf(*pane, L"first", "BAD001"), -1);

  // F8 from the № column of the first entry, round the end; Shift+F8 back.
  SetFocus(view->Handle());
  view->SelectCell(0, 0);
  std::vector<int> walked;
  for (int step = 0; step < 4; ++step) {
    Command(CMD_SOUND_NEXT_MISSING);
    walked.push_back(view->GetSelectedEntry());
  }
  EXPECT_EQ(walked, (std::vector<int>{0, 1, 2, 0}));
  Command(CMD_SOUND_PREV_MISSING);
  EXPECT_EQ(view->GetSelectedEntry(), 2);
  // The status bar says where the walk went and what is wrong there.
  const std::wstring walkedTo = FormatCommandStrings(STR_PROBLEMS_WALKED, {L"3", L"3", SentenceOf(*pane, 2, "BAD004")});
  EXPECT_TRUE(StatusShows(walkedTo)) << std::string(StatusText().begin(), StatusText().end());

  // Quick Fix is offered only where the cursor's problem has a fix; Ctrl+. elsewhere says so.
  const auto quickFixEnabled = [&] {
    Pump();
    return (frame->CommandStates().State(CMD_PROBLEM_QUICKFIX) & COMMAND_STATE_DISABLED) == 0;
  };
  view->SelectCell(1, 1);
  EXPECT_TRUE(quickFixEnabled()) << "a drive letter to drop";
  view->SelectCell(1, 5);
  EXPECT_FALSE(quickFixEnabled()) << "no problem on this volume";
  SendChord({VK_CONTROL, VK_OEM_PERIOD});
  Pump();
  EXPECT_EQ(StatusText(), LoadCommandString(STR_PROBLEMS_NO_FIX));
  // So does Ctrl+. in the pane on a problem without a certain fix, and the tab stays.
  static_cast<FrameServices&>(*frame).EndStatusReason();
  FocusRow(*pane, RowOf(*pane, L"second", "BAD009"));
  SendChord({VK_CONTROL, VK_OEM_PERIOD});
  Pump();
  EXPECT_EQ(frame->Tabs().GetActivePage(), 0);
  EXPECT_EQ(StatusText(), LoadCommandString(STR_PROBLEMS_NO_FIX));

  // F6 goes round the tab strip, the page and the pane; Shift+F6 the other way.
  SetFocus(view->Handle());
  std::vector<HWND> round;
  for (int step = 0; step < 3; ++step) {
    SendChord({VK_F6});
    Pump();
    round.push_back(GetFocus());
  }
  EXPECT_EQ(round, (std::vector<HWND>{pane->ListHandle(), frame->Tabs().GetTabStrip(), view->Handle()}));
  SendChord({VK_SHIFT, VK_F6});
  Pump();
  EXPECT_EQ(GetFocus(), frame->Tabs().GetTabStrip());

  // Ctrl+. in the document fixes the cursor's cell: the drive letter goes, as one step.
  view->SelectCell(1, 1);
  SetFocus(view->Handle());
  SendChord({VK_CONTROL, VK_OEM_PERIOD});
  Pump();
  EXPECT_EQ(view->GetEntry(1).values.audioFile.value_or(L""), L"rain.wav");
  view->Undo();
  EXPECT_EQ(view->GetEntry(1).values.audioFile.value_or(L""), L"C:\\rain.wav");

  // A value typed in an open cell is kept: it goes in before the fix is looked for. Here it
  // mends the maximum by hand, so no fix is left to apply.
  TypeIntoCell(0, 3, L"6000");
  SetFocus(view->GetEditor());
  SendChord({VK_CONTROL, VK_OEM_PERIOD});
  Pump();
  EXPECT_EQ(view->GetEntry(0).values.maxRepeatMs, 6000);
  EXPECT_EQ(view->GetEntry(0).values.minRepeatMs, 5000);
  view->Undo();
  EXPECT_EQ(view->GetEntry(0).values.maxRepeatMs, 1000);

  // The fix for a missing file is the user's pick, in the name editor's own browse: one step too.
  view->SelectCell(2, 1);
  ModalScript pick;
  AnswerFileDialog(pick, folder + L"\\sounds\\rain.wav");
  CommandWithScript(CMD_PROBLEM_QUICKFIX, pick);
  EXPECT_EQ(view->GetEntry(2).values.audioFile.value_or(L""), L"rain.wav");
  view->Undo();
  EXPECT_EQ(view->GetEntry(2).values.audioFile.value_or(L""), L"gone.wav");

  // Beside the timeline when both are shown; hidden, the documents take the room back.
  Command(CMD_VIEW_TIMELINE);
  HWND timeline = FindWindowExW(Hwnd(), nullptr, L"Sonarwick_TimelinePane", nullptr);
  ASSERT_NE(timeline, nullptr);
  const RECT left = ChildRect(timeline), right = ChildRect(pane->Handle());
  EXPECT_EQ(left.top, right.top);
  EXPECT_LE(left.right, right.left);
  EXPECT_GT(right.right - right.left, 100);
  EXPECT_LE(ChildRect(frame->ClientWindow()).bottom, left.top);
  Command(CMD_VIEW_TIMELINE);
  EXPECT_EQ(ChildRect(pane->Handle()).left, ChildRect(frame->ClientWindow()).left)
      << "alone it is as wide as the frame";
  Command(CMD_VIEW_PROBLEMS);
  EXPECT_FALSE(IsWindowVisible(pane->Handle()));
  EXPECT_FALSE(ViewItemChecked(CMD_VIEW_PROBLEMS));
  EXPECT_EQ(ChildRect(frame->ClientWindow()).bottom, ChildRect(pane->Handle()).bottom);
}

}  // namespace
