// Times the editor from outside on a full document, against a plain list-view program that
// shows the same file (plain_list_view.exe), alternating the two in one run, and prints per
// measure both medians, their ratio and the goal:
//
//   open            start with samples\hundred-entries.bad minus start without it, to settled
//   entry command   WM_COMMAND Move Down / Undo / Delete / Duplicate to the frame with an entry
//                   selected, until the paint it caused is done; plain: swap two rows' texts
//                   (Delete and Duplicate also against the plain list's own delete and insert)
//   full repaint    RedrawWindow(invalidate, update now, all children) of the page / the list
//   settings change WM_SETTINGCHANGE to the frame and its paint, against one full repaint
//   history         growth of the editor's private bytes over Move Down / Move Up steps
//
//   entry_command_bench.exe [rounds] [history steps] [editor.exe]
//
// The editor defaults to the release build (build\release\sonarwick.exe beside build\win).
// Timings are printed, never judged: a slow machine gives slow figures for both programs.

#include <windows.h>
// The common controls need windows.h first.
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "PlainListView.h"
#include "ProcessLaunch.h"
#include "ProcessMemory.h"
#include "StartupPieces.h"
#include "resources/ResourceIds.h"

namespace {

constexpr int kDefaultRounds = 15;
constexpr int kDefaultHistorySteps = 2000;
constexpr int kSelectedRow = 10;
// Rows on screen in both programs, so that a change to them has something to paint.
constexpr int kSwappedRow = kSelectedRow;
constexpr UINT kAnswerTimeoutMs = 60000;
constexpr const wchar_t* kFrameClassPrefix = L"Sonarwick:";

std::wstring ClassOf(HWND window) {
  wchar_t name[256]{};
  GetClassNameW(window, name, 256);
  return name;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kAnswerTimeoutMs, &answer);
  return static_cast<LRESULT>(answer);
}

// Paints now whatever the last message left invalid, in the program that owns the window.
void PaintPending(HWND window) { RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

void Repaint(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

double TimeOf(const std::function<void()>& action) {
  const double start = Now();
  action();
  return Now() - start;
}

// The page that shows the document: the visible list view below the frame with the entries
// (and the row that adds one).
HWND FindPage(HWND frame) {
  HWND found = nullptr;
  EnumChildWindows(
      frame,
      [](HWND hwnd, LPARAM lParam) -> BOOL {
        // Found by what it answers, not by its class name, which is the grid's own business.
        if (!IsWindowVisible(hwnd) || SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0) < 2) return TRUE;
        *reinterpret_cast<HWND*>(lParam) = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

int SelectedRow(HWND list) { return static_cast<int>(Send(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)); }

// Selects a row as a click would, through the list view's own message: its item structure has
// to live in the list view's process.
bool SelectRow(const StartedProgram& program, HWND list, int row) {
  HANDLE process = program.process.hProcess;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMW), MEM_COMMIT, PAGE_READWRITE);
  if (remote == nullptr) return false;
  LVITEMW item{};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  if (WriteProcessMemory(process, remote, &item, sizeof(item), nullptr))
    Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  PaintPending(list);
  return SelectedRow(list) == row;
}

// The plain list view's outer size set so that its list has the page's size: both paint as
// many rows.
void MatchSize(HWND plainWindow, HWND plainList, HWND page) {
  RECT pageRect, outer, list;
  GetWindowRect(page, &pageRect);
  GetWindowRect(plainWindow, &outer);
  GetWindowRect(plainList, &list);
  const int width = (pageRect.right - pageRect.left) + (outer.right - outer.left) - (list.right - list.left);
  const int height = (pageRect.bottom - pageRect.top) + (outer.bottom - outer.top) - (list.bottom - list.top);
  SetWindowPos(plainWindow, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  PaintPending(plainWindow);
}

void PrintHeader() {
  std::wprintf(L"\n%-22ls %12ls %12ls %9ls   %ls\n", L"measure (medians)", L"Sonarwick", L"plain", L"ratio",
               L"goal");
}

void PrintRow(const wchar_t* measure, double editor, double plain, const wchar_t* goal) {
  std::wprintf(L"%-22ls %9.2f ms %9.2f ms %8.2fx   %ls\n", measure, editor, plain, Ratio(editor, plain), goal);
  // Each figure shows as it is measured, also when the output goes to a file.
  std::fflush(stdout);
}

struct Programs {
  std::wstring editor, plain, sample;
};

// One program's starts without and with the file, taken back to back so that both meet the
// same load of the machine: the file's cost is the difference within each pair.
struct OpenSeries {
  std::vector<double> without, with, clockCost, processorCost;
};

bool StartPair(const std::wstring& exe, const std::wstring& file, bool withFirst, OpenSeries& series,
               StartupPieces* pieces = nullptr) {
  double clock[2]{}, processor[2]{};
  for (int turn = 0; turn < 2; ++turn) {
    const bool withFile = (turn == 0) == withFirst;
    std::optional<StartedProgram> started = StartProgram(exe, withFile ? file : L"");
    if (!started) return false;
    clock[withFile] = started->settledMs;
    processor[withFile] = ReadProcessFigures(started->process.hProcess, exe).processorMs;
    const double launched = started->launchedMs;
    if (!CloseProgram(*started)) return false;
    if (pieces != nullptr) pieces->Collect(launched, withFile ? L"with the file: " : L"without: ");
  }
  series.without.push_back(clock[0]);
  series.with.push_back(clock[1]);
  series.clockCost.push_back(clock[1] - clock[0]);
  series.processorCost.push_back(processor[1] - processor[0]);
  return true;
}

// Start with the file minus start without it, to the moment each has settled.
bool MeasureOpen(const Programs& programs, int rounds) {
  const std::wstring file = L"\"" + programs.sample + L"\"";
  OpenSeries editor, plain;
  StartupPieces pieces;
  // One unmeasured pair each, so that all run from a warm file cache.
  OpenSeries warmUp;
  if (!StartPair(programs.editor, file, false, warmUp) || !StartPair(programs.plain, file, false, warmUp))
    return false;
  for (int round = 0; round < rounds; ++round) {
    // Which program and which start go first changes from round to round, spreading any drift
    // of the machine over all four.
    const bool plainFirst = round % 2 != 0, withFirst = (round / 2) % 2 != 0;
    if (plainFirst && !StartPair(programs.plain, file, withFirst, plain)) return false;
    if (!StartPair(programs.editor, file, withFirst, editor, &pieces)) return false;
    if (!plainFirst && !StartPair(programs.plain, file, withFirst, plain)) return false;
  }
  std::wprintf(L"start to settled: Sonarwick %.1f / %.1f ms, plain %.1f / %.1f ms (without / with the file)\n",
               Median(editor.without), Median(editor.with), Median(plain.without), Median(plain.with));
  PrintHeader();
  PrintRow(L"open", Median(editor.clockCost), Median(plain.clockCost), L"<= 1.5x");
  // The processor time the file adds depends less on what else the machine is doing.
  PrintRow(L"  processor time", Median(editor.processorCost), Median(plain.processorCost),
           L"(the same, in processor time)");
  pieces.Print(L"the editor's starts");
  return true;
}

struct Running {
  StartedProgram editor, plain;
  HWND frame = nullptr, page = nullptr, plainList = nullptr;
};

struct EntryCommand {
  const wchar_t* name;
  UINT id;
  std::vector<double> times;
};

// A message's round trip, and the round trip with the paint it left behind.
struct RoundTrip {
  double message = 0, painted = 0;
};

RoundTrip TimeRoundTrip(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const double start = Now();
  Send(window, message, wParam, lParam);
  const double answered = Now();
  PaintPending(window);
  return {answered - start, Now() - start};
}

void MeasureEntryCommands(Running& running, int rounds) {
  // Each cycle leaves a hundred entries: Delete, then Duplicate fills the place again.
  std::vector<EntryCommand> commands = {{L"  Move Down", CMD_ENTRY_MOVE_DOWN, {}},
                                        {L"  Undo", CMD_EDIT_UNDO, {}},
                                        {L"  Delete", CMD_ENTRY_DELETE, {}},
                                        {L"  Duplicate", CMD_ENTRY_DUPLICATE, {}}};
  std::vector<double> swaps, all, swapMessages, allMessages, plainDeletes, plainDuplicates;
  for (int round = 0; round < rounds; ++round) {
    for (EntryCommand& command : commands) {
      if (SelectedRow(running.page) != kSelectedRow) SelectRow(running.editor, running.page, kSelectedRow);
      const RoundTrip editor = TimeRoundTrip(running.frame, WM_COMMAND, MAKEWPARAM(command.id, 0), 0);
      command.times.push_back(editor.painted);
      all.push_back(editor.painted);
      allMessages.push_back(editor.message);
      const RoundTrip plain = TimeRoundTrip(running.plain.window, PlainSwapRowsMessage, kSwappedRow, kSwappedRow + 1);
      swaps.push_back(plain.painted);
      swapMessages.push_back(plain.message);
      // The plain program's own delete and insert, for the commands that change the row count.
      if (command.id == CMD_ENTRY_DELETE)
        plainDeletes.push_back(TimeRoundTrip(running.plain.window, PlainDeleteRowMessage, kSwappedRow, 0).painted);
      if (command.id == CMD_ENTRY_DUPLICATE)
        plainDuplicates.push_back(TimeRoundTrip(running.plain.window, PlainDuplicateRowMessage, kSwappedRow, 0).painted);
    }
  }
  const double plainSwap = Median(swaps);
  PrintRow(L"entry command", Median(all), plainSwap, L"<= 3x (against a two-row swap; message and its paint)");
  for (const EntryCommand& command : commands) PrintRow(command.name, Median(command.times), plainSwap, L"");
  PrintRow(L"  Delete", Median(commands[2].times), Median(plainDeletes), L"(against the plain list's delete)");
  PrintRow(L"  Duplicate", Median(commands[3].times), Median(plainDuplicates), L"(against the plain list's insert)");
  PrintRow(L"  message alone", Median(allMessages), Median(swapMessages), L"(the answer, before the paint)");
}

double MeasureRepaint(Running& running, int rounds) {
  std::vector<double> editor, plain;
  for (int round = 0; round < rounds * 2; ++round) {
    editor.push_back(TimeOf([&] { Repaint(running.page); }));
    plain.push_back(TimeOf([&] { Repaint(running.plainList); }));
  }
  PrintRow(L"full repaint", Median(editor), Median(plain), L"<= 1.3x");
  return Median(editor);
}

void MeasureSettingsChange(Running& running, int rounds, double editorRepaint) {
  std::vector<double> changes;
  for (int round = 0; round < rounds; ++round) {
    changes.push_back(TimeRoundTrip(running.frame, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0).painted);
  }
  std::wprintf(L"%-22ls %9.2f ms %9.2f ms %8.2fx   %ls\n", L"settings change", Median(changes), editorRepaint,
               Ratio(Median(changes), editorRepaint), L"<= 2x one full repaint of Sonarwick's page");
}

// What the history keeps per step, from the private bytes of the process behind the editor.
void MeasureHistory(Running& running, const std::wstring& editorExe, int steps) {
  if (!SelectRow(running.editor, running.page, kSelectedRow)) {
    std::wprintf(L"history: no entry could be selected\n");
    return;
  }
  const SIZE_T before = ReadProcessFigures(running.editor.process.hProcess, editorExe).privateBytes;
  const double start = Now();
  for (int step = 0; step < steps; ++step) {
    Send(running.frame, WM_COMMAND, MAKEWPARAM(step % 2 ? CMD_ENTRY_MOVE_UP : CMD_ENTRY_MOVE_DOWN, 0), 0);
    if (step % 50 == 49) PaintPending(running.frame);
  }
  PaintPending(running.frame);
  const double seconds = (Now() - start) / 1000;
  const SIZE_T after = ReadProcessFigures(running.editor.process.hProcess, editorExe).privateBytes;
  const double growth = static_cast<double>(after) - static_cast<double>(before);
  std::wprintf(L"%-22ls %9.0f B  over %d steps (%.1f MiB -> %.1f MiB, %.0f s)   goal <= 1024 B per step\n",
               L"history per step", growth / steps, steps, before / 1048576.0, after / 1048576.0, seconds);
}

HWND FrameOf(const StartedProgram& program) {
  return ClassOf(program.window).rfind(kFrameClassPrefix, 0) == 0 ? program.window : nullptr;
}

bool StartBoth(const Programs& programs, Running& running) {
  const std::wstring file = L"\"" + programs.sample + L"\"";
  std::optional<StartedProgram> editor = StartProgram(programs.editor, file);
  if (!editor) return false;
  running.editor = *editor;
  std::optional<StartedProgram> plain = StartProgram(programs.plain, file);
  if (!plain) return false;
  running.plain = *plain;
  running.frame = FrameOf(running.editor);
  running.page = running.frame != nullptr ? FindPage(running.frame) : nullptr;
  running.plainList = GetWindow(running.plain.window, GW_CHILD);
  if (running.page == nullptr || running.plainList == nullptr) {
    std::fwprintf(stderr, L"the editor's frame or page, or the plain list, was not found\n");
    return false;
  }
  MatchSize(running.plain.window, running.plainList, running.page);
  if (!SelectRow(running.editor, running.page, kSelectedRow)) {
    std::fwprintf(stderr, L"no entry of the editor could be selected\n");
    return false;
  }
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int rounds = argc > 1 ? _wtoi(argv[1]) : kDefaultRounds;
  if (rounds < 1) rounds = kDefaultRounds;
  int historySteps = argc > 2 ? _wtoi(argv[2]) : kDefaultHistorySteps;
  if (historySteps < 2) historySteps = kDefaultHistorySteps;
  const std::wstring here = FolderOf(OwnExecutable());
  Programs programs{FullPath(argc > 3 ? argv[3] : here + L"..\\..\\release\\sonarwick.exe"),
                    here + L"plain_list_view.exe", FullPath(SONARWICK_SAMPLES_DIR L"\\hundred-entries.bad")};
  std::wprintf(L"editor:   %ls (%zu KB)\nbaseline: %ls\nfile:     %ls\nrounds:   %d\n\n", programs.editor.c_str(),
               FileSize(programs.editor) / 1024, programs.plain.c_str(), programs.sample.c_str(), rounds);

  if (!MeasureOpen(programs, rounds)) return 1;
  Running running;
  const bool started = StartBoth(programs, running);
  if (started) {
    MeasureEntryCommands(running, rounds);
    const double editorRepaint = MeasureRepaint(running, rounds);
    MeasureSettingsChange(running, rounds, editorRepaint);
    MeasureHistory(running, programs.editor, historySteps);
  }
  // The editor holds changes now, and a close would ask about them.
  if (running.editor.process.hProcess != nullptr) EndProgram(running.editor);
  if (running.plain.process.hProcess != nullptr) CloseProgram(running.plain);
  return started ? 0 : 1;
}
