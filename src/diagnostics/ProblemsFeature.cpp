#include "diagnostics/ProblemsFeature.h"

#include <algorithm>

#include "commands/CommandStrings.h"
#include "resources/ResourceIds.h"
#include "sound/SoundFolderSearch.h"
#include "win/Dpi.h"

namespace {

constexpr UINT kProblemsPaneId = 0xE811;
constexpr int kSplitterHeight96 = 5;
constexpr int kLeastHeight96 = 60;
// Beside the timeline neither pane narrows below this, at 96 DPI.
constexpr int kLeastWidth96 = 160;

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

RECT RectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool KeyDown(int key) { return GetKeyState(key) < 0; }

}  // namespace

ProblemsFeature::ProblemsFeature(Host host)
    : host_(std::move(host)),
      problems_([frame = host_.frame] {
        // Any message wakes the frame's loop, whose idle pass then takes the verdict in.
        PostMessageW(frame, WM_NULL, 0, 0);
      }),
      dpi_(WindowDpi(host_.frame)) {}

bool ProblemsFeature::OnCommand(UINT id) {
  switch (id) {
    case CMD_VIEW_PROBLEMS:
      Show(!shown_);
      return true;
    case CMD_SOUND_NEXT_MISSING:
    case CMD_SOUND_PREV_MISSING:
      WalkProblems(id == CMD_SOUND_NEXT_MISSING);
      return true;
    case CMD_PROBLEM_QUICKFIX:
      FixAtCursor();
      return true;
    default:
      return false;
  }
}

void ProblemsFeature::UpdateStates(CommandStateMap& states) {
  Refresh();
  states.SetCommandCheck(CMD_VIEW_PROBLEMS, shown_ ? 1 : 0);
  const DocumentProblems* found = problems_.Find(ActiveDocument());
  const bool any = found != nullptr && !found->Problems().empty();
  states.EnableCommand(CMD_SOUND_NEXT_MISSING, any);
  states.EnableCommand(CMD_SOUND_PREV_MISSING, any);
  states.EnableCommand(CMD_PROBLEM_QUICKFIX, any && CursorHasFix());
}

// The pane is made the first time it is asked for. Shown, it takes the focus, as a list the
// user asked to see is there to be read; hidden with the focus in it, the focus goes back to the
// document.
void ProblemsFeature::Show(bool shown) {
  if (shown && pane_.Handle() == nullptr) {
    if (!pane_.Create(host_.frame, RECT{0, 0, 0, 0}, kProblemsPaneId)) return;
    splitter_.Create(host_.frame, [this](int travel) {
      if (splitter_.Upright()) {
        // The pane stands right of the bar: dragging the bar right narrows it.
        RECT pane{};
        GetWindowRect(pane_.Handle(), &pane);
        width96_ =
            std::max(MulDiv(pane.right - pane.left - travel, 96, static_cast<int>(dpi_)), kLeastWidth96);
      } else {
        height96_ = std::max(MulDiv(ScaleForDpi(height96_, dpi_) - travel, 96, static_cast<int>(dpi_)),
                             kLeastHeight96);
      }
      host_.relayout();
    });
    pane_.SetDpi(dpi_);
  }
  const bool focusInPane =
      pane_.Handle() != nullptr && (GetFocus() == pane_.Handle() || IsChild(pane_.Handle(), GetFocus()));
  shown_ = shown;
  if (shown) Refresh();
  ShowWindow(pane_.Handle(), shown ? SW_SHOWNA : SW_HIDE);
  if (!shown) ShowWindow(splitter_.Handle(), SW_HIDE);
  host_.relayout();
  if (shown) {
    SetFocus(pane_.ListHandle());
  } else if (focusInPane) {
    const AmbientView* view = ActiveDocument();
    SetFocus(view != nullptr ? view->Handle() : host_.tabs->Handle());
  }
}

RECT ProblemsFeature::Layout(RECT area, TimelineFeature* timeline) {
  const RECT above = timeline != nullptr ? timeline->Layout(area) : area;
  if (!shown_ || pane_.Handle() == nullptr) return above;
  if (timeline != nullptr && timeline->IsShown() && timeline->Pane().Handle() != nullptr) {
    // Side by side in the timeline's row, the timeline on the left: the bar above the row is the
    // timeline's, and dragging it sizes both; the upright bar between them shares the row.
    const RECT row = RectInParent(timeline->Pane().Handle());
    const int width = area.right - area.left;
    const int bar = ScaleForDpi(kSplitterHeight96, dpi_);
    const int least = std::min(ScaleForDpi(kLeastWidth96, dpi_), std::max(0, (width - bar) / 2));
    const int wanted = width96_ > 0 ? ScaleForDpi(width96_, dpi_) : (width - bar) / 2;
    const int paneWidth = std::clamp(wanted, least, std::max(least, width - bar - least));
    const int middle = area.right - paneWidth - bar;
    SetWindowPos(timeline->Pane().Handle(), nullptr, area.left, row.top, middle - area.left,
                 row.bottom - row.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(splitter_.Handle(), nullptr, middle, row.top, bar, row.bottom - row.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetWindowPos(pane_.Handle(), nullptr, middle + bar, row.top, paneWidth, row.bottom - row.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return above;
  }
  const int available = area.bottom - area.top;
  const int splitter = ScaleForDpi(kSplitterHeight96, dpi_);
  const int height = std::clamp(ScaleForDpi(height96_, dpi_), 0, std::max(available - splitter, 0));
  const int paneTop = area.bottom - height;
  SetWindowPos(pane_.Handle(), nullptr, area.left, paneTop, area.right - area.left, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(splitter_.Handle(), nullptr, area.left, paneTop - splitter, area.right - area.left, splitter,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  area.bottom = paneTop - splitter;
  return area;
}

void ProblemsFeature::Refresh() {
  const std::vector<OpenDocument> documents = Documents();
  problems_.Update(documents, host_.chosenScale());
  if (shown_ && pane_.Handle() != nullptr) pane_.SetProblems(problems_.Rows(documents));
  const AmbientView* view = ActiveDocument();
  const DocumentProblems* found = problems_.Find(view);
  // An empty list has nothing to count.
  std::wstring counts;
  if (found != nullptr && view->GetEntryCount() > 0) {
    counts = found->Problems().empty()
                 ? LoadCommandString(STR_PROBLEMS_NONE)
                 : FormatCommandStrings(STR_PROBLEMS_COUNTS, {std::to_wstring(found->ErrorCount()),
                                                              std::to_wstring(found->WarningCount())});
  }
  if (counts == counts_) return;
  counts_ = counts;
  host_.showCounts(counts_);
}

bool ProblemsFeature::OnNotify(const NMHDR& header) {
  if (pane_.Handle() == nullptr || header.hwndFrom != pane_.Handle()) return false;
  const auto& notice = reinterpret_cast<const NMPROBLEM&>(header);
  if (header.code == static_cast<UINT>(PROBLEMSN_GOTO)) {
    GoTo(notice);
    return true;
  }
  if (header.code == static_cast<UINT>(PROBLEMSN_QUICKFIX)) {
    if (notice.fix == QuickFixKind::None) {
      host_.refuse(LoadCommandString(STR_PROBLEMS_NO_FIX));
      return true;
    }
    const auto* view = reinterpret_cast<const AmbientView*>(notice.document);
    const std::optional<OpenDocument> document = DocumentOf(view);
    if (document && notice.problem != nullptr && Activate(view)) ApplyFix(*document, *notice.problem);
    return true;
  }
  return false;
}

bool ProblemsFeature::HandleMessage(Message& m) {
  if (m.msg != WM_NOTIFY || !OnNotify(*reinterpret_cast<const NMHDR*>(m.lParam))) return false;
  m.result = 0;
  return true;
}

// Though the frame's accelerators know some of them (Ctrl+C copies problems here, not entries).
bool ProblemsFeature::FilterMessage(MSG& msg) {
  if (!IsPaneKey(msg)) return false;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return true;
}

bool ProblemsFeature::IsPaneKey(const MSG& msg) const {
  if (pane_.Handle() == nullptr || (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)) return false;
  if (msg.hwnd != pane_.ListHandle() || KeyDown(VK_MENU)) return false;
  const bool control = KeyDown(VK_CONTROL), shift = KeyDown(VK_SHIFT);
  switch (msg.wParam) {
    case 'A':
    case 'C':
    case VK_INSERT:
    case VK_OEM_PERIOD:
      return control && !shift;
    case VK_RETURN:
      return !control && !shift;
    case VK_F10:
      return shift && !control;
    default:
      return false;
  }
}

void ProblemsFeature::ApplyDpi(UINT dpi) {
  dpi_ = dpi;
  if (pane_.Handle() != nullptr) pane_.SetDpi(dpi);
}

// The open documents in the order of their tabs.
std::vector<OpenDocument> ProblemsFeature::Documents() {
  std::vector<OpenDocument> documents;
  for (int page = 0; page < host_.tabs->GetPageCount(); ++page) {
    auto* view = static_cast<AmbientView*>(host_.tabs->GetPageData(page));
    if (view == nullptr || view->Handle() == nullptr) continue;
    const wchar_t* title = host_.tabs->GetPageTitle(page);
    documents.push_back(OpenDocument{view, title != nullptr ? title : L"", SoundFolderOf(*view)});
  }
  return documents;
}

std::vector<std::wstring> ProblemsFeature::SoundFolders() {
  std::vector<std::wstring> folders;
  for (const OpenDocument& document : Documents()) {
    if (!document.soundFolder.empty()) folders.push_back(document.soundFolder);
  }
  return folders;
}

std::optional<OpenDocument> ProblemsFeature::DocumentOf(const AmbientView* view) {
  for (OpenDocument& document : Documents())
    if (document.view == view) return std::move(document);
  return std::nullopt;
}

// As the frame finds it for the active document: the user's choice, or else the folder found
// near the document's file, looked for once per path.
std::wstring ProblemsFeature::SoundFolderOf(const AmbientView& view) {
  if (std::wstring chosen = host_.chosenSoundFolder(); !chosen.empty()) return chosen;
  const std::wstring path = view.GetPath();
  if (path.empty()) return {};
  const auto known = foundFolders_.find(path);
  if (known != foundFolders_.end()) return known->second;
  std::vector<std::wstring> names;
  for (int entry = 0; entry < view.GetEntryCount(); ++entry)
    names.push_back(view.GetEntry(entry).values.audioFile.value_or(L""));
  const std::wstring found = FindSoundFolder(ParentFolder(path), names, IsFile).value_or(L"");
  foundFolders_.emplace(path, found);
  return found;
}
