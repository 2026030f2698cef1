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
#include "app/CommandStateMap.h"
#include "app/FindReplaceDialog.h"
#include "app/FrameToolbar.h"
#include "app/IdleHandler.h"
#include "app/MessageFilter.h"
#include "app/RecentFiles.h"
#include "app/Settings.h"
#include "app/RecoveryStore.h"
#include "app/SoundFileCheck.h"
#include "app/SoundNameCompletion.h"
#include "menubar/CommandBar.h"
#include "preview/AmbienceCommands.h"
#include "preview/AmbiencePreview.h"
#include "preview/TimelineFeature.h"
#include "sound/SoundPlayer.h"
#include "tabs/TabView.h"
#include "win/Window.h"

// Control ids of the frame's children. The toolbar and the rebar share one id.
constexpr UINT FRAME_TOOLBAR_ID = 0xE800;
constexpr UINT FRAME_REBAR_ID = 0xE800;
constexpr UINT FRAME_STATUS_BAR_ID = 0xE801;
// Posted by the sound player's worker (wParam: the play's generation).
constexpr UINT WM_SOUND_NOTICE = WM_APP + 32;

// The one top-level window of the editor: the menu bar and the toolbar in a rebar at the top,
// the status bar at the bottom and the tab container with one document view per page
// between them. It carries out the file, view, window and help commands, keeps the command
// states of menus and toolbar up to date when the thread goes idle, and ends the message
// loop when it is destroyed.
class MainFrame : public Window, public MessageFilter, public IdleHandler {
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
  // The document view of the active page, or null when no page is open.
  AmbientView* ActiveView() const;
  // Document views the frame holds; a view goes as soon as its window is gone.
  size_t ViewCount() const { return views_.size(); }

  // Shows why a command or a typed value was refused in the status bar, until the next edit
  // or menu prompt.
  void ShowStatusReason(const std::wstring& reason);
  // Opens the file at the full path `path` in a new page; a file that cannot be read gets
  // the open error. Open, the start-up command line and dropped files all come here.
  // `nameTheFile`: several files are opened at once, so the messages say which one they mean.
  bool OpenDocument(const std::wstring& path, bool nameTheFile = false);

  // ---- the user's session (FrameSession.cpp) ----
  // Shows the frame where it was last closed; false (not shown) when nothing was stored.
  bool ShowWhereLastClosed(int showCommand);
  const RecentFiles& Recent() const { return recentFiles_; }
  // Sizes a frame that has no stored place for its display scale, centred on its monitor.
  void SizeForFirstStart();

  // ---- display scale (FrameDpi.cpp) ----
  // The scale the bars are made for; 0 until one other than the system's was applied.
  UINT Dpi() const { return dpi_; }
  // ---- the world outside: other programs, crashes, want of memory (FrameOutsideWorld.cpp) ----
  // Starts keeping a recovery copy of every modified document in `folder`, and writing them
  // when the process crashes. Without this call the frame writes none.
  void KeepRecoveryCopies(const std::wstring& folder);
  // Offers the copies a process that did not close normally left in the folder; Yes opens them
  // as modified documents, No deletes them. Returns how many documents were restored.
  int OfferRecovery();
  // Compares every document with its file on disk and asks about each change once.
  void CheckFilesOnDisk();
  // Writes or deletes the recovery copies as the documents now are.
  // `durable`: flushed to the disk itself, not only to the system's cache.
  void SyncRecoveryCopies(bool durable = false);
  // Writes the copies shortly, once the commands in a row are over.
  void ScheduleRecoveryCopies();
  // Tells the user that a command failed (for want of memory, or another error) and was refused.
  void TellRefusedCommand(bool outOfMemory);
  // Whether a question (save prompt, reload question, file dialog of a save) is up.
  bool QuestionIsUp() const { return questionsUp_ > 0; }
  // The sound folder in use (empty when none is known) and whether names are found in it.
  SoundFileCheck& SoundCheck() { return soundCheck_; }
  const SoundPlayer& Player() const { return player_; }

 protected:
  bool HandleMessage(Message& m) override;

 private:
  bool HandleOwnMessage(Message& m);
  bool HandleSessionMessage(Message& m);
  bool HandleDpiMessage(Message& m);
  void ApplyDpi(UINT dpi);
  bool HandleLayoutAndBarMessage(Message& m);
  bool OnNotify(Message& m);

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

  // The command table (FrameCommands.cpp).
  bool OnCommand(UINT id);
  void OnAppExit();
  void OnFileNew();
  void OnFileOpen();
  void OnFileSave();
  void OnFileSaveAs();
  void OnViewToolbar();
  void OnViewStatusBar();
  void OnAppAbout();
  void OnWindowClose();
  void OnWindowCloseAll();
  void OnWindowPage(int index);
  void OnSwitchPane();

  // The save prompt and its roads (FrameClosing.cpp). Each returns false when the user (or a
  // refused cell value, or a failed save) stops the action.
  bool OnClose();
  bool ConfirmClosePage(int index);
  static bool HoldsNothingToLose(const AmbientView& view);
  bool ConfirmCloseAll();
  bool SaveDocument(AmbientView& view);
  bool SaveDocumentAs(AmbientView& view);
  std::wstring DialogFolder(const AmbientView* view) const;
  void OnValueRefused(const GridNotify& notify);
  bool OnQueryEndSession();
  int AskUser(const std::wstring& text, UINT type);

  // Counts a question up for as long as it lives.
  class QuestionUp {
   public:
    explicit QuestionUp(int& count) : count_(count) { ++count_; }
    ~QuestionUp() { --count_; }
    QuestionUp(const QuestionUp&) = delete;
    QuestionUp& operator=(const QuestionUp&) = delete;

   private:
    int& count_;
  };

  // What the frame knows of each document beyond the view itself (FrameOutsideWorld.cpp).
  struct DocumentWatch {
    int recoverySlot = 0;
    // The state of the file the user last answered about, so each change is asked about once.
    bool asked = false;
    FileStamp askedAbout;
    // The state of the file the user chose to put the document over (No to its reload, Yes to
    // overwriting it): a save over any other state asks first.
    bool keepChosen = false;
    FileStamp keptOver;
    bool copyKept = false;
    bool failureReported = false;
  };
  bool HandleOutsideWorldMessage(Message& m);
  static void ListenForFailures();
  DocumentWatch& WatchOf(const AmbientView& view);
  int PageOfView(const AmbientView* view) const;
  std::wstring TitleOf(const AmbientView& view) const;
  bool CheckFileOfView(AmbientView& view);
  void NoteAnswered(const AmbientView& view, const FileStamp& now, bool keep);
  bool ConfirmOverwriteChanged(AmbientView& view);
  void DocumentSaved(const AmbientView& view);
  void WriteRecoveryCopy(const AmbientView& view, DocumentWatch& watch, bool durable);
  void ForgetClosedViews();
  bool RestoreCopy(const RecoveryCopy& copy, int slot);

  // The page holding the document stored at `path` (by any of its names), or -1.
  int FindPageOfFile(const std::wstring& path) const;
  // The edit and entry commands on the active document (EntryCommands.cpp).
  bool OnEditCommand(UINT id);
  bool RouteToTextBox(UINT id);
  void OnEditCopy();
  void OnEditCut();
  void OnEditPaste();
  void RefuseEntryCommand(const std::wstring& reason);
  void UpdateEditCommandStates();
  bool CellEditorOpen() const;
  bool OnContextMenu(HWND window, LPARAM position);

  // Find and replace in the active document's names (FrameFindReplace.cpp).
  bool OnFindCommand(UINT id);
  void OnFindMessage(LPARAM lParam);
  void FindNextName(bool down);
  void ReplaceSelectedName();
  void ReplaceAllNames();
  void UpdateFindCommandStates();
  HACCEL FindKeys();

  // Names kept as stored, damaged files and the names' code page (FrameOutsideData.cpp).
  void LoadNamesCodePage();
  void OnViewNamesCodePage(UINT id);
  void ShowNamesCodePage();
  void TellLoadDamage(const AmbientView& view, const std::wstring& path);
  bool ConfirmSaveOverDamaged(const AmbientView& view);
  void ForgetLoadDamage(const AmbientView& view);
  // The user's session (FrameSession.cpp).
  void SaveWhereClosed();
  void RestoreColumnWidths(AmbientView& view) const;
  void NoteRecentFile(const std::wstring& path);
  void UpdateRecentMenu();
  void OnFileRecent(size_t index);
  bool OnCopyData(const COPYDATASTRUCT& data);
  void OpenHandedFiles();
  void UpdateUnsavedMarks();
  void OnWindowsDialog();
  // The sound commands and the sound folder (FrameSounds.cpp).
  bool OnSoundCommand(UINT id);
  void OnSoundPlay();
  void OnSoundStop();
  void OnSoundNotice(unsigned generation);
  void OnSelectMissingSound(int step);
  void OnViewSoundFolder();
  void OnFindSoundFolderAutomatically();
  void UpdateSoundFolder();
  void UpdateSoundState();
  void EndReasonOfOtherView();
  void SetSoundPanes(const std::wstring& count, const std::wstring& folder);
  void LayoutStatusPanes();
  void ShowSoundText(const std::wstring& text);
  bool IsStopSoundKey(const MSG& msg) const;
  void StopSoundOfClosedViews();
  void MarkMissingSounds(AmbientView& view);
  bool IsBrowseSoundKey(const MSG& msg) const;
  void OnBrowseSoundName();
  // The name editor's browse button and completion, while a sound folder is known.
  void DressNameEditors(AmbientView& view);
  void OnNameEditorOpened(HWND editor, int col);
  SoundNameList SoundNames();

  // The Ambience menu and its export (preview/AmbienceCommands).
  std::optional<AmbienceExportSource> ActiveAmbience();
  void CreateAmbienceFeatures();
  bool OnAmbienceCommand(UINT id);
  void UpdateAmbience(bool documentOpen);
  void OnAmbienceCursorTimer();
  static constexpr UINT_PTR kAmbienceCursorTimer = 0xA3B1;
  static constexpr UINT kAmbienceCursorMs = 50;

  AmbientView* CreateView();
  void ReleaseClosedViews();
  void ShowError(const std::wstring& text);
  void ShowSaveError(const AmbientView& view);

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
  std::vector<std::unique_ptr<AmbientView>> views_;
  // Views of files whose length did not match their count, until a save wrote them whole: the
  // first save over such a file asks first.
  std::set<const AmbientView*> damagedViews_;
  SoundPlayer player_;
  SoundFileCheck soundCheck_;
  // The sound folder's files the name editors complete from, and the folder they were read
  // from; read again at the first editor after the folder changed or the frame came back.
  SoundNameList soundNames_;
  std::wstring soundNamesFolder_;
  // The view whose entry plays; its page closing stops the sound.
  const AmbientView* playingView_ = nullptr;
  // The document path the sound folder was last looked for from, and what was found there.
  std::wstring searchedDocumentPath_;
  std::wstring foundFolder_;
  std::wstring soundPanes_[2];
  // The document active when the status bar's reason was given (compared, never followed).
  const AmbientView* reasonView_ = nullptr;
  FindReplaceDialog findReplace_;
  HACCEL findKeys_ = nullptr;
  // Where the focus was when the frame last went to the background; it goes back there.
  HWND focusWhenDeactivated_ = nullptr;
  Settings& settings_;
  RecentFiles recentFiles_{settings_};
  // Files a second start handed over, opened once its message has been answered.
  std::vector<std::wstring> handedFiles_;
  // The bars' fonts made for a scale other than the system's (empty: the system's own).
  UINT dpi_ = 0;
  UniqueFont statusFont_;
  UniqueFont tabFont_;

  // ---- the world outside ----
  int questionsUp_ = 0;
  bool diskCheckPosted_ = false;
  bool checkingDisk_ = false;
  bool recoveryDue_ = false;
  int nextRecoverySlot_ = 1;
  std::map<const AmbientView*, DocumentWatch> watches_;
  std::unique_ptr<RecoveryStore> recovery_;
  std::unique_ptr<AmbienceCommands> ambience_;
  std::unique_ptr<TimelineFeature> timeline_;
  std::unique_ptr<AmbiencePreview> preview_;
};
