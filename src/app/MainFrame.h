#pragma once

#include <windows.h>
// HDROP needs the base declarations first.
#include <shellapi.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "editor/AmbientView.h"
#include "app/FrameToolbar.h"
#include "commands/CommandStateMap.h"
#include "commands/CommandTable.h"
#include "commands/FrameServices.h"
#include "documents/DocumentsFeature.h"
#include "entries/EntryFeature.h"
#include "findreplace/FindReplaceFeature.h"
#include "diagnostics/ProblemsFeature.h"
#include "menubar/CommandBar.h"
#include "preview/AmbienceCommands.h"
#include "preview/AmbiencePreview.h"
#include "preview/TimelineFeature.h"
#include "session/SessionFeature.h"
#include "session/Settings.h"
#include "soundfolder/SoundFeature.h"
#include "tabs/TabView.h"
#include "win/IdleHandler.h"
#include "win/MessageFilter.h"
#include "win/Window.h"

// Control ids of the frame's children. The toolbar and the rebar share one id.
constexpr UINT FRAME_TOOLBAR_ID = 0xE800;
constexpr UINT FRAME_REBAR_ID = 0xE800;
constexpr UINT FRAME_STATUS_BAR_ID = 0xE801;

// The one top-level window of the editor: the menu bar and the toolbar in a rebar at the top,
// the status bar at the bottom and the tab container with one document view per page
// between them. It carries out the file, view, window and help commands, keeps the command
// states of menus and toolbar up to date when the thread goes idle, and ends the message
// loop when it is destroyed. The editor's features are classes of their own that the frame
// owns: their commands reach them through the command table, and they reach the frame through
// its services.
class MainFrame : public Window, public MessageFilter, public IdleHandler, public FrameServices {
 public:
  // `settings` keeps the recent files and the window's place; tests pass their own.
  explicit MainFrame(Settings& settings = Settings::Instance());
  ~MainFrame() override;

  // Creates the window: caption from string RES_MAIN, menu RES_MAIN, default position and
  // size. Null when the window could not be created.
  HWND CreateFrame();

  // Accelerators first (except the text-editing keys while a text box has the focus), then
  // the menu bar's mnemonics, then the tab container's keys.
  bool FilterMessage(MSG& msg) override;
  // Brings the enabled states of the commands up to date and pushes them to the toolbar.
  void DoIdle() override;

  HACCEL Accelerators() const { return accelerators_; }
  HWND RebarWindow() const { return rebar_; }
  HWND ToolbarWindow() const { return toolbar_.window; }
  HWND StatusBarWindow() const { return statusBar_; }
  HWND ClientWindow() const { return tabView_.Handle(); }
  const CommandBar& MenuBar() const { return commandBar_; }
  const TabView& Tabs() const { return tabView_; }
  const CommandStateMap& CommandStates() const { return commandStates_; }
  // Which feature carries out each command.
  const CommandTable& Commands() const { return commands_; }
  // The document view of the active page, or null when no page is open.
  AmbientView* ActiveView() const override;
  // Document views the frame holds; a view goes as soon as its window is gone.
  size_t ViewCount() const { return documents_ ? documents_->ViewCount() : 0; }

  // Shows why a command or a typed value was refused in the status bar, until the next edit
  // or menu prompt.
  void ShowStatusReason(const std::wstring& reason) override;
  // Opens the file at the full path `path` in a new page; a file that cannot be read gets
  // the open error. Open, the start-up command line and dropped files all come here.
  // `nameTheFile`: several files are opened at once, so the messages say which one they mean.
  bool OpenDocument(const std::wstring& path, bool nameTheFile = false) {
    return documents_->OpenDocument(path, nameTheFile);
  }

  // ---- the user's session, kept by its feature ----
  // Shows the frame where it was last closed; false (not shown) when nothing was stored.
  bool ShowWhereLastClosed(int showCommand) { return session_->ShowWhereLastClosed(showCommand); }
  const RecentFiles& Recent() const { return session_->Recent(); }
  // Sizes a frame that has no stored place for its display scale, centred on its monitor.
  void SizeForFirstStart();

  // ---- display scale (FrameDpi.cpp) ----
  // The scale the bars are made for; 0 until one other than the system's was applied.
  UINT Dpi() const { return dpi_; }
  // ---- the world outside, kept by the documents: other programs, crashes, want of memory ----
  // Starts keeping a recovery copy of every modified document in `folder`, and writing them
  // when the process crashes. Without this call the frame writes none.
  void KeepRecoveryCopies(const std::wstring& folder) { documents_->KeepRecoveryCopies(folder); }
  // Offers the copies a process that did not close normally left in the folder; Yes opens them
  // as modified documents, No deletes them. Returns how many documents were restored.
  int OfferRecovery() { return documents_->OfferRecovery(); }
  // Compares every document with its file on disk and asks about each change once.
  void CheckFilesOnDisk() { documents_->CheckFilesOnDisk(); }
  // Writes or deletes the recovery copies as the documents now are.
  // `durable`: flushed to the disk itself, not only to the system's cache.
  void SyncRecoveryCopies(bool durable = false) { documents_->SyncRecoveryCopies(durable); }
  // Writes the copies shortly, once the commands in a row are over.
  void ScheduleRecoveryCopies() { documents_->ScheduleRecoveryCopies(); }
  // Tells the user that a command failed (for want of memory, or another error) and was refused.
  void TellRefusedCommand(bool outOfMemory);
  // Whether a question (save prompt, reload question, file dialog of a save) is up.
  bool QuestionIsUp() const override { return questionsUp_ > 0; }
  // The sound folder in use (empty when none is known) and whether names are found in it.
  SoundFileCheck& SoundCheck() { return sounds_->Check(); }
  const SoundPlayer& Player() const { return sounds_->Player(); }
  AmbiencePreview& Preview();

 protected:
  bool HandleMessage(Message& m) override;

 private:
  // ---- the services the features use (FrameServices.cpp) ----
  HWND FrameWindow() const override { return Handle(); }
  TabView& PageTabs() override { return tabView_; }
  const std::vector<ACCEL>& AcceleratorEntries() const override { return acceleratorEntries_; }
  void EndStatusReason() override;
  void RefuseCommand(const std::wstring& reason) override;
  void ShowStatusText(const std::wstring& text) override;
  void SetSoundPanes(const std::wstring& count, const std::wstring& folder) override;
  void ShowError(const std::wstring& text) override;
  int Ask(const std::wstring& text, UINT type) override { return AskUser(text, type); }
  void QuestionOpened() override { ++questionsUp_; }
  void QuestionClosed() override { --questionsUp_; }
  void NoteDocumentsChanged() override { documents_->NoteChanged(); }
  void Relayout() override { LayoutChildren(false); }
  void CreateFeatures();
  void OnViewsClosing();

  bool HandleOwnMessage(Message& m);
  bool HandleDpiMessage(Message& m);
  void ApplyDpi(UINT dpi);
  bool HandleLayoutAndBarMessage(Message& m);
  bool OnNotify(Message& m);
  void OnValueRefused(const GridNotify& notify);

  void OnCreate();
  void CreateMenuBar();
  void CreateRebar();
  void CreateStatusBar();
  void CreateClient();
  void OnDestroy();
  void OnFrameDestroy();
  void OnSetFocus();
  bool OnActivate(WPARAM state);
  void CancelModes();
  void ForwardSettingChange(const Message& m);
  void OnDropFiles(HDROP drop);
  void LayoutChildren(bool resizeBars);
  bool IsCloseTabKey(const MSG& msg) const;

  // The frame's own commands (FrameCommands.cpp): file, view, window and help.
  class OwnCommands;
  bool OnCommand(UINT id);
  void OnAppExit();
  void OnViewToolbar();
  void OnViewStatusBar();
  void OnAppAbout();
  void OnWindowPage(int index);
  void OnSwitchPane(bool forward);

  bool OnClose();
  bool OnQueryEndSession();
  int AskUser(const std::wstring& text, UINT type);

  static void ListenForFailures();
  bool CellEditorOpen() const;

  // The pages' unsaved marks and the list of all windows (FramePages.cpp).
  void UpdateUnsavedMarks();
  void OnWindowsDialog();
  void EndReasonOfOtherView();
  void LayoutStatusPanes();

  // The Ambience menu and its export, the timeline and the preview (FrameAmbience.cpp).
  class AmbienceFeature;
  // The problems of the open documents, in a pane of their own (FrameProblems.cpp).
  void CreateProblemsFeature();

  HWND rebar_ = nullptr;
  HWND statusBar_ = nullptr;
  // The client size the bars and the client were last laid out for (see WM_SIZE).
  SIZE laidOutFor_{-1, -1};
  ResourceToolbar toolbar_;
  HACCEL accelerators_ = nullptr;
  std::vector<ACCEL> acceleratorEntries_;
  CommandStateMap commandStates_;
  CommandBar commandBar_;
  TabView tabView_;
  std::wstring soundPanes_[2];
  std::wstring volumePane_;
  std::wstring statusText_;  // the main pane's whole text, shortened only as the bar shows it
  // The document active when the status bar's reason was given (compared, never followed).
  const AmbientView* reasonView_ = nullptr;
  // Where the focus was when the frame last went to the background; it goes back there.
  HWND focusWhenDeactivated_ = nullptr;
  Settings& settings_;
  // The bars' fonts made for a scale other than the system's (empty: the system's own).
  UINT dpi_ = 0;
  UniqueFont statusFont_;
  UniqueFont tabFont_;

  // Questions up (message boxes, dialogs the frame waits for): nothing closes under them.
  int questionsUp_ = 0;

  // ---- the features, and the one table their commands go through ----
  CommandTable commands_;
  std::unique_ptr<SessionFeature> session_;
  std::unique_ptr<DocumentsFeature> documents_;
  std::unique_ptr<OwnCommands> own_;
  std::unique_ptr<EntryFeature> entries_;
  std::unique_ptr<FindReplaceFeature> findReplace_;
  std::unique_ptr<SoundFeature> sounds_;
  std::unique_ptr<AmbienceFeature> ambience_;
  // Every feature in the order it hears the frame's events.
  std::vector<FrameFeature*> features_;
  std::unique_ptr<ProblemsFeature> problems_;
  // The status bar's counts of the active document's problems.
  std::wstring problemCounts_;
};
