// Starts the editor and a bare window program with the same libraries in turn, as a user's
// double click would, and prints how long each takes to show its window and to go idle, the
// medians and their ratio, and the processor time and memory each has used once settled.
//
//   startup_bench.exe [pairs] [editor.exe]
//
// The editor defaults to the release build (build\release\sonarwick.exe beside build\win),
// the bare program is bare_window.exe beside this benchmark. Under Wine the private bytes are
// read from the Linux process behind the Windows one, since Wine answers 0 for them.

#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "ProcessLaunch.h"
#include "ProcessMemory.h"
#include "StartupPieces.h"

namespace {

constexpr int kDefaultPairs = 21;

struct Launch {
  double idleMs = 0;
  double visibleMs = 0;
  SIZE_T peakWorkingSet = 0;
  SIZE_T privateBytes = 0;
  double processorMs = 0;
};

// Starts `exe`, waits for its window and its first idle moment, lets it finish what it does
// when idle, reads its memory and closes it as its close box would.
// The marks each program writes as it ends go to `pieces`, under `group`.
std::optional<Launch> Run(const std::wstring& exe, StartupPieces& pieces, const std::wstring& group) {
  std::optional<StartedProgram> program = StartProgram(exe);
  if (!program) return std::nullopt;
  const ProcessFigures figures = ReadProcessFigures(program->process.hProcess, exe);
  Launch launch{program->idleMs, program->visibleMs, figures.peakWorkingSet, figures.privateBytes,
                figures.processorMs};
  const double launched = program->launchedMs;
  if (!CloseProgram(*program)) return std::nullopt;
  pieces.Collect(launched, group);
  return launch;
}

struct Series {
  std::vector<double> idle, visible, processor, peakWorkingSet, privateBytes;
  void Add(const Launch& launch) {
    idle.push_back(launch.idleMs);
    visible.push_back(launch.visibleMs);
    processor.push_back(launch.processorMs);
    peakWorkingSet.push_back(static_cast<double>(launch.peakWorkingSet));
    privateBytes.push_back(static_cast<double>(launch.privateBytes));
  }
};

struct Medians {
  double idle, visible, processor, peakWorkingSet, privateBytes;
  explicit Medians(const Series& series)
      : idle(Median(series.idle)),
        visible(Median(series.visible)),
        processor(Median(series.processor)),
        peakWorkingSet(Median(series.peakWorkingSet)),
        privateBytes(Median(series.privateBytes)) {}
};

constexpr double kMebibyte = 1024.0 * 1024.0;

void PrintMedians(const std::wstring& name, const Medians& medians) {
  std::wprintf(L"%-16ls %8.1f ms %10.1f ms %12.1f ms %10.1f MiB %10.1f MiB\n", name.c_str(), medians.idle,
               medians.visible, medians.processor, medians.peakWorkingSet / kMebibyte,
               medians.privateBytes / kMebibyte);
}

void PrintRatios(const Medians& editor, const Medians& bare) {
  std::wprintf(L"%-16ls %8.2f x  %10.2f x  %12.2f x  %10.2f x     %10.2f x\n", L"ratio",
               Ratio(editor.idle, bare.idle), Ratio(editor.visible, bare.visible),
               Ratio(editor.processor, bare.processor), Ratio(editor.peakWorkingSet, bare.peakWorkingSet),
               Ratio(editor.privateBytes, bare.privateBytes));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int pairs = argc > 1 ? _wtoi(argv[1]) : kDefaultPairs;
  if (pairs < 1) pairs = kDefaultPairs;
  const std::wstring here = FolderOf(OwnExecutable());
  const std::wstring editor = FullPath(argc > 2 ? argv[2] : here + L"..\\..\\release\\sonarwick.exe");
  const std::wstring bare = here + L"bare_window.exe";
  std::wprintf(L"editor:   %ls (%zu KB)\nbaseline: %ls (%zu KB)\n", editor.c_str(), FileSize(editor) / 1024,
               bare.c_str(), FileSize(bare) / 1024);

  // One unmeasured start each, so that both run from a warm file cache.
  StartupPieces pieces;
  if (!Run(editor, pieces, L"") || !Run(bare, pieces, L"bare: ")) return 1;
  pieces.Clear();
  Series editorRuns, bareRuns;
  std::wprintf(L"\npair   editor idle / visible      bare idle / visible\n");
  for (int pair = 0; pair < pairs; ++pair) {
    // Alternating which goes first spreads any drift of the machine over both.
    std::optional<Launch> first = Run(pair % 2 ? bare : editor, pieces, pair % 2 ? L"bare: " : L"");
    std::optional<Launch> second = Run(pair % 2 ? editor : bare, pieces, pair % 2 ? L"" : L"bare: ");
    if (!first || !second) return 1;
    const Launch& editorLaunch = pair % 2 ? *second : *first;
    const Launch& bareLaunch = pair % 2 ? *first : *second;
    editorRuns.Add(editorLaunch);
    bareRuns.Add(bareLaunch);
    std::wprintf(L"%4d %10.1f / %7.1f ms %10.1f / %7.1f ms\n", pair + 1, editorLaunch.idleMs,
                 editorLaunch.visibleMs, bareLaunch.idleMs, bareLaunch.visibleMs);
  }

  std::wprintf(
      L"\nmedians of %-4d start->idle start->visible processor time peak working set private bytes\n", pairs);
  const Medians editorMedians(editorRuns), bareMedians(bareRuns);
  PrintMedians(NameOf(editor), editorMedians);
  PrintMedians(NameOf(bare), bareMedians);
  PrintRatios(editorMedians, bareMedians);
  pieces.Print(L"the starts");
  return 0;
}
