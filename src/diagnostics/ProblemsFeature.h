#pragma once

// View > Problems: every problem of every open document in a pane under the documents (beside
// the timeline when both are open), kept up to date on the idle pass; F8 and Shift+F8 walk the
// active document's problems; Ctrl+. and the pane's menu apply a certain fix as one step of the
// history; the status bar counts the active document's errors and warnings.

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ambience/VolumeScale.h"
#include "commands/CommandStateMap.h"
#include "commands/FrameFeature.h"
#include "diagnostics/OpenDocumentsProblems.h"
#include "panes/ProblemsPane.h"
#include "panes/ProblemsPaneMessages.h"
#include "panes/SplitterBar.h"
#include "preview/TimelineFeature.h"
#include "resources/ResourceIds.h"
#include "tabs/TabView.h"

class ProblemsFeature : public FrameFeature {
 public:
  // F8 and Shift+F8 walk the problems, where they once walked only the missing sounds.
  static constexpr UINT kCommands[] = {CMD_VIEW_PROBLEMS, CMD_PROBLEM_QUICKFIX, CMD_SOUND_NEXT_MISSING,
                                       CMD_SOUND_PREV_MISSING};
  struct Host {
    HWND frame = nullptr;
    TabView* tabs = nullptr;
    // The frame lays its windows out again (the pane came, went or changed its height).
    std::function<void()> relayout;
    // The sound folder the user chose; empty: each document's is found near it.
    std::function<std::wstring()> chosenSoundFolder;
    // The volume scale the user chose; nothing: guessed from each list.
    std::function<std::optional<VolumeScale>()> chosenScale;
    // A command found nothing to do: the frame beeps and says why in the status bar.
    std::function<void(const std::wstring& reason)> refuse;
    // What a command did, in the status bar's first pane.
    std::function<void(const std::wstring& text)> showStatus;
    // The status bar's counts of the active document changed (empty: no document).
    std::function<void(const std::wstring& counts)> showCounts;
    // The name editor's browse, on the name of `entry` in the active document.
    std::function<void(AmbientView& view, int entry)> pickFile;
  };
  explicit ProblemsFeature(Host host);

  bool OnCommand(UINT id) override;
  // The idle pass: the problems of the open documents, the pane, the counts and the commands.
  void UpdateStates(CommandStateMap& states) override;
  // The pane's notifications.
  bool HandleMessage(Message& m) override;
  // The keys the pane keeps while it has the focus go straight to it.
  bool FilterMessage(MSG& msg) override;
  void OnFrameActivated() override { FilesMayHaveChanged(); }
  bool IsShown() const { return shown_; }
  // Places the pane at the bottom of `area`, beside the timeline's pane when that is shown (the
  // timeline lays itself out first), and gives what is left above them.
  RECT Layout(RECT area, TimelineFeature* timeline);
  // On the idle pass: the problems of the open documents, the pane and the counts.
  void Refresh();
  // The pane's notifications; true when consumed.
  bool OnNotify(const NMHDR& header);
  // The keys the pane keeps while it has the focus, though the frame's accelerators know them
  // too (Ctrl+C copies problems there, not entries).
  bool IsPaneKey(const MSG& msg) const;
  // Back from the background, or told by the sound folders' watch: files may have changed.
  void FilesMayHaveChanged() { problems_.RecheckFiles(); }
  // The sound folders the open documents' names are looked for in (empty ones left out).
  std::vector<std::wstring> SoundFolders();
  void ApplyDpi(UINT dpi);

  ProblemsPane& Pane() { return pane_; }
  OpenDocumentsProblems& Problems() { return problems_; }

 private:
  void Show(bool shown);
  std::vector<OpenDocument> Documents();
  std::optional<OpenDocument> DocumentOf(const AmbientView* view);
  std::wstring SoundFolderOf(const AmbientView& view);
  void WalkProblems(bool forward);
  void FixAtCursor();
  // The active document's problems on the cursor's cell (on its entry, on the № column).
  std::vector<Problem> ProblemsAtCursor(const AmbientView& view, const DocumentProblems& found) const;
  // Whether Quick Fix has something to offer: the focused row of the pane while its list has
  // the focus, else the cursor's cell.
  bool CursorHasFix();
  void GoTo(const NMPROBLEM& notice);
  void ApplyFix(const OpenDocument& document, const Problem& problem);
  bool Activate(const AmbientView* view);
  // The document of the active page; null when none is open.
  AmbientView* ActiveDocument() const;

  Host host_;
  OpenDocumentsProblems problems_;
  ProblemsPane pane_;
  SplitterBar splitter_;
  bool shown_ = false;
  int height96_ = 160;  // the pane's height at 96 DPI, as the user dragged it
  int width96_ = 0;     // beside the timeline: the pane's width at 96 DPI as dragged; 0 for half
  UINT dpi_ = 96;
  std::wstring counts_;
  // The sound folder found near each document's file, looked for once per path.
  std::map<std::wstring, std::wstring> foundFolders_;
};
