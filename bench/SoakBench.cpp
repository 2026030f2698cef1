// Keeps one editor busy for a long while, as a day's work would: opens and closes documents the
// way Open does, edits cells through the grid's own messages (typed values kept with Enter,
// edits dropped with Escape, choices from the time-of-day list, new entries from the append
// row), switches pages and follows settings changes. Before and after it prints the GDI and
// USER objects alive (the handle layer's counts, the windows of the thread and, where the system
// answers, GetGuiResources) and the private bytes.
//
//   soak_bench.exe [documents] [edits]
//
// `documents` (default 1000) documents of 100 entries are opened and closed, and as many page
// switches and settings changes made; `edits` (default 10000) cells are edited. The exit code
// is 1 when any object count ends above where it started (the short run under CTest relies on
// it), 2 when the soak could not be carried out as described.

#include <windows.h>
// The common controls and COM need windows.h first.
#include <commctrl.h>
#include <objbase.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ProcessMemory.h"
#include "app/AppModule.h"
#include "app/MainFrame.h"
#include "app/MessageLoop.h"
#include "resources/ResourceIds.h"
#include "celleditors/InplaceList.h"
#include "win/UniqueHandle.h"

namespace {

const std::wstring kSamples = L"" SONARWICK_SAMPLES_DIR;

constexpr int kAudioFileColumn = 1;
constexpr int kTimeOfDayColumn = 4;
constexpr int kNumberColumns[] = {2, 3, 5};
constexpr int kTimesOfDay = 4;
constexpr int kPagesToSwitch = 3;

// The documents the soak works on: copies of the samples, since edits are saved before a page
// closes (closing unsaved work would ask), and one file per page, since a file opens only once.
struct Documents {
  std::wstring folder;
  std::wstring full;
  std::wstring shortOnes[kPagesToSwitch];

  bool Create() {
    wchar_t temp[MAX_PATH]{};
    GetTempPathW(MAX_PATH, temp);
    folder = std::wstring(temp) + L"sonarwick-soak-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    full = folder + L"\\hundred-entries.bad";
    bool copied = CopyFileW((kSamples + L"/hundred-entries.bad").c_str(), full.c_str(), FALSE) != FALSE;
    for (int page = 0; page < kPagesToSwitch; ++page) {
      shortOnes[page] = folder + L"\\short-" + std::to_wstring(page) + L".bad";
      copied &= CopyFileW((kSamples + L"/four-times-of-day.bad").c_str(), shortOnes[page].c_str(), FALSE) != FALSE;
    }
    return copied;
  }

  void Remove() const {
    DeleteFileW(full.c_str());
    for (const std::wstring& path : shortOnes) DeleteFileW(path.c_str());
    RemoveDirectoryW(folder.c_str());
  }
};
constexpr UINT kSettingsMessages[] = {WM_SETTINGCHANGE, WM_SYSCOLORCHANGE, WM_THEMECHANGED};
constexpr double kMebibyte = 1024.0 * 1024.0;

struct HandleKindName {
  HandleKind kind;
  const char* name;
};

constexpr HandleKindName kHandleKinds[] = {
    {HandleKind::Font, "fonts"},
    {HandleKind::Pen, "pens"},
    {HandleKind::Brush, "brushes"},
    {HandleKind::Bitmap, "bitmaps"},
    {HandleKind::ImageList, "image lists"},
    {HandleKind::Menu, "menus"},
    {HandleKind::Icon, "icons"},
    {HandleKind::DeviceContext, "memory DCs"},
    {HandleKind::File, "files"},
};

struct Snapshot {
  std::vector<long> handles;
  long windows = 0;
  DWORD gdiObjects = 0;
  DWORD userObjects = 0;
  SIZE_T privateBytes = 0;
};

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<long*>(count);
  return TRUE;
}

BOOL CALLBACK CountWindowAndChildren(HWND hwnd, LPARAM count) {
  CountWindow(hwnd, count);
  EnumChildWindows(hwnd, CountWindow, count);
  return TRUE;
}

Snapshot TakeSnapshot() {
  Snapshot snapshot;
  for (const HandleKindName& kind : kHandleKinds) snapshot.handles.push_back(LiveHandleCount(kind.kind));
  EnumThreadWindows(GetCurrentThreadId(), CountWindowAndChildren,
                    reinterpret_cast<LPARAM>(&snapshot.windows));
  snapshot.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  snapshot.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  snapshot.privateBytes = ReadProcessFigures(GetCurrentProcess(), OwnExecutable()).privateBytes;
  return snapshot;
}

// Prints one count; true when it grew.
bool PrintCount(const char* name, long before, long after) {
  std::printf("  %-24s %10ld %10ld %+10ld\n", name, before, after, after - before);
  return after > before;
}

bool PrintSystemCount(const char* name, DWORD before, DWORD after) {
  if (before == 0 && after == 0) {
    std::printf("  %-24s %10s %10s\n", name, "n/a", "n/a");
    return false;
  }
  return PrintCount(name, static_cast<long>(before), static_cast<long>(after));
}

// True when any object count grew.
bool PrintComparison(const Snapshot& before, const Snapshot& after) {
  std::printf("\n  %-24s %10s %10s %10s\n", "live objects", "before", "after", "growth");
  bool grew = false;
  for (size_t i = 0; i < before.handles.size(); ++i) {
    grew |= PrintCount(kHandleKinds[i].name, before.handles[i], after.handles[i]);
  }
  grew |= PrintCount("windows of the thread", before.windows, after.windows);
  grew |= PrintSystemCount("GDI objects (system)", before.gdiObjects, after.gdiObjects);
  grew |= PrintSystemCount("USER objects (system)", before.userObjects, after.userObjects);
  std::printf(
      "  %-24s %6.2f MiB %6.2f MiB %+6.2f MiB\n", "private bytes", before.privateBytes / kMebibyte,
      after.privateBytes / kMebibyte,
      (static_cast<double>(after.privateBytes) - static_cast<double>(before.privateBytes)) / kMebibyte);
  return grew;
}

// Drives the real frame as the message loop would: filter, translate, dispatch, then the idle
// pass once the queue is empty.
class Session {
 public:
  bool Start() {
    TheAppModule().RegisterLoop(&loop_);
    frame_ = std::make_unique<MainFrame>();
    HWND hwnd = frame_->CreateFrame();
    if (hwnd == nullptr) return false;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd);
    Pump();
    return true;
  }

  void Stop() {
    frame_.reset();
    TheAppModule().UnregisterLoop();
  }

  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (frame_->FilterMessage(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    frame_->DoIdle();
  }

  void Command(UINT id) {
    SendMessageW(frame_->Handle(), WM_COMMAND, id, 0);
    Pump();
  }

  bool Open(const std::wstring& path) {
    bool opened = frame_->OpenDocument(path);
    Pump();
    return opened;
  }

  bool OpenAndClose(const std::wstring& path) {
    if (!Open(path)) return false;
    Command(CMD_WINDOW_CLOSE);
    return frame_->ViewCount() == 0;
  }

  // Saves the day's edits first, so that closing has nothing to ask.
  void SaveAndClose(UINT closeCommand) {
    for (int page = 0; page < frame_->Tabs().GetPageCount(); ++page) {
      SwitchPage(page);
      Command(CMD_FILE_SAVE);
    }
    Command(closeCommand);
  }

  void SwitchPage(int index) { Command(CMD_WINDOW_PAGE_FIRST + static_cast<UINT>(index)); }
  int PagesLeft() const { return frame_->Tabs().GetPageCount(); }

  // The short document being edited; replaced by a fresh copy when it is full.
  std::wstring shortDocument;

  // The system sends these to top-level windows; the frame passes them on to every page.
  void ChangeSettings(int index) {
    UINT message = kSettingsMessages[index % std::size(kSettingsMessages)];
    SendMessageW(frame_->Handle(), message, 0, 0);
    Pump();
  }

  // One cell edit of the kind `index` picks; false when the grid opened no editor for it.
  bool Edit(int index) {
    AmbientView* view = frame_->ActiveView();
    if (view == nullptr) return false;
    const int row = (index / 5) % view->GetDataRowCount();
    switch (index % 5) {
      case 0:
        return TypeAndKeep(*view, row, kAudioFileColumn, static_cast<wchar_t>(L'a' + index % 26));
      case 1:
        return TypeAndKeep(*view, row, kNumberColumns[index % std::size(kNumberColumns)],
                           static_cast<wchar_t>(L'1' + index % 9));
      case 2:
        return TypeAndDrop(*view, row, kAudioFileColumn);
      case 3:
        return ChooseTimeOfDay(*view, row, index % kTimesOfDay);
      default:
        return AddEntry();
    }
  }

 private:
  // A character typed on the cell opens its editor with it; Enter keeps it.
  bool TypeAndKeep(AmbientView& view, int row, int col, wchar_t character) {
    view.SelectCell(row, col);
    SendMessageW(view.Handle(), WM_CHAR, character, 1);
    HWND editor = view.GetEditor();
    if (editor == nullptr) return false;
    SendMessageW(editor, WM_KEYDOWN, VK_RETURN, 1);
    Pump();
    return view.GetEditor() == nullptr;
  }

  bool TypeAndDrop(AmbientView& view, int row, int col) {
    view.SelectCell(row, col);
    SendMessageW(view.Handle(), WM_KEYDOWN, VK_F2, 1);
    HWND editor = view.GetEditor();
    if (editor == nullptr) return false;
    SendMessageW(editor, WM_CHAR, L'x', 1);
    SendMessageW(editor, WM_KEYDOWN, VK_ESCAPE, 1);
    Pump();
    return view.GetEditor() == nullptr;
  }

  bool ChooseTimeOfDay(AmbientView& view, int row, int choice) {
    view.SelectCell(row, kTimeOfDayColumn);
    SendMessageW(view.Handle(), WM_KEYDOWN, VK_F2, 1);
    HWND list = InplaceList::GetListBox(view.GetEditor());
    if (list == nullptr) return false;
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(choice), 0);
    SendMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
    Pump();
    return view.GetEditor() == nullptr;
  }

  // Enter on the append row adds an entry and opens the new entry's name; a full document is
  // replaced by a short one first.
  bool AddEntry() {
    AmbientView* view = frame_->ActiveView();
    if (view->GetDataRowCount() >= MaxAmbientEntries) {
      SaveAndClose(CMD_WINDOW_CLOSE);
      // Back to four entries, as the sample has.
      CopyFileW((kSamples + L"/four-times-of-day.bad").c_str(), shortDocument.c_str(), FALSE);
      if (!Open(shortDocument)) return false;
      view = frame_->ActiveView();
    }
    const int rows = view->GetDataRowCount();
    view->SelectCell(rows, 0);
    SendMessageW(view->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    Pump();
    HWND editor = view->GetEditor();
    if (view->GetDataRowCount() != rows + 1 || editor == nullptr) return false;
    SendMessageW(editor, WM_CHAR, L'n', 1);
    SendMessageW(editor, WM_KEYDOWN, VK_RETURN, 1);
    Pump();
    return view->GetEditor() == nullptr;
  }

  MessageLoop loop_;
  std::unique_ptr<MainFrame> frame_;
};

// The whole workload; the number of steps that did not do what they stand for.
int Soak(Session& session, const Documents& files, int documents, int edits) {
  int failures = 0;
  for (int i = 0; i < documents; ++i) failures += session.OpenAndClose(files.full) ? 0 : 1;

  session.shortDocument = files.shortOnes[0];
  if (!session.Open(session.shortDocument)) return failures + 1;
  for (int i = 0; i < edits; ++i) failures += session.Edit(i) ? 0 : 1;
  session.SaveAndClose(CMD_WINDOW_CLOSE_ALL);

  for (const std::wstring& path : files.shortOnes) failures += session.Open(path) ? 0 : 1;
  for (int i = 0; i < documents; ++i) session.SwitchPage(i % kPagesToSwitch);
  for (int i = 0; i < documents; ++i) session.ChangeSettings(i);
  session.Command(CMD_WINDOW_CLOSE_ALL);
  failures += session.PagesLeft() == 0 ? 0 : 1;
  return failures;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int documents = argc > 1 ? _wtoi(argv[1]) : 1000;
  const int edits = argc > 2 ? _wtoi(argv[2]) : 10000;
  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
  InitCommonControlsEx(&controls);
  TheAppModule().Initialize(GetModuleHandleW(nullptr));

  Documents files;
  if (!files.Create()) {
    std::printf("the sample documents could not be copied\n");
    return 2;
  }
  Session session;
  if (!session.Start()) {
    std::printf("the frame could not be created\n");
    return 2;
  }
  // One small round first: what is made once and kept (classes, caches) belongs to the baseline.
  int failures = Soak(session, files, 1, 10);
  const Snapshot before = TakeSnapshot();
  const auto start = std::chrono::steady_clock::now();
  failures += Soak(session, files, documents, edits);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const Snapshot after = TakeSnapshot();

  std::printf(
      "%d documents of 100 entries opened and closed, %d cell edits, %d page switches, %d settings "
      "changes in %.1f s\n",
      documents, edits, documents, documents, seconds);
  const bool grew = PrintComparison(before, after);
  session.Stop();
  files.Remove();
  TheAppModule().Terminate();
  CoUninitialize();
  if (failures != 0) {
    std::printf("\n%d steps did not do what they stand for\n", failures);
    return 2;
  }
  if (grew) std::printf("\nobjects leaked\n");
  return grew ? 1 : 0;
}
