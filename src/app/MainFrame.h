#pragma once

#include <windows.h>
// HDROP needs the base declarations first.
#include <shellapi.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ambient/AmbientView.h"
#include "app/CommandStateMap.h"
#include "app/FindReplaceDialog.h"
#include "app/FrameToolbar.h"
#include "app/IdleHandler.h"
#include "app/MessageFilter.h"
#include "menubar/CommandBar.h"
#include "tabs/TabView.h"
#include "win/Window.h"

// Control ids of the frame's children. The toolbar and the rebar share one id.
constexpr UINT FRAME_TOOLBAR_ID = 0xE800;
constexpr UINT FRAME_REBAR_ID = 0xE800;
constexpr UINT FRAME_STATUS_BAR_ID = 0xE801;

// The one top-level window of the editor: the menu bar and the toolbar in a rebar at the top,
// the status bar at the bottom and the tab container with one document view per page
// between them. It carries out the file, view, window and help commands, keeps the command
// states of menus and toolbar up to date when the thread goes idle, and ends the message
// loop when it is destroyed.
class MainFrame : public Window, public MessageFilter, public IdleHandler {
 public:
  MainFrame() = default;
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

 protected:
  bool HandleMessage(Message& m) override;

 private:
  bool HandleOwnMessage(Message& m);
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
  bool ConfirmCloseAll();
  bool SaveDocument(AmbientView& view);
  bool SaveDocumentAs(AmbientView& view);
  void OnValueRefused(const GridNotify& notify);

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

  AmbientView* CreateView();
  void ReleaseClosedViews();
  void ShowError(const std::wstring& text);
  void ShowSaveError(const AmbientView& view);

  HWND rebar_ = nullptr;
  HWND statusBar_ = nullptr;
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
  FindReplaceDialog findReplace_;
  HACCEL findKeys_ = nullptr;
  // Where the focus was when the frame last went to the background; it goes back there.
  HWND focusWhenDeactivated_ = nullptr;
};
