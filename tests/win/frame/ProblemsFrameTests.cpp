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
