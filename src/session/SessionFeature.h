#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "commands/CommandTable.h"
#include "commands/FrameFeature.h"
#include "commands/FrameServices.h"
#include "resources/ResourceIds.h"
#include "session/RecentFiles.h"
#include "session/Settings.h"

// What the editor keeps for the user beyond one document: the recent files (the File menu's
// list and its commands), the frame's place on the screen and the columns' widths, and the
// files a second start hands over to this one.
class SessionFeature : public FrameFeature {
 public:
  // Opens a file in a page; `nameTheFile`: several open at once, so messages name each.
  using OpenFile = std::function<bool(const std::wstring& path, bool nameTheFile)>;

  // `fileMenu`: the popup that lists the recent files.
  SessionFeature(FrameServices& frame, Settings& settings, HMENU fileMenu, OpenFile open);
  void AddTo(CommandTable& table);
  bool OnCommand(UINT id) override;
  // WM_COPYDATA from a second start, and the files it handed over.
  bool HandleMessage(Message& m) override;

  // Shows the frame where it was last closed; false (not shown) when nothing was stored.
  bool ShowWhereLastClosed(int showCommand);
  // The frame's place and the widths of the active document's columns, for the next start.
  void SaveWhereClosed();
  void RestoreColumnWidths(AmbientView& view) const;
  void NoteRecentFile(const std::wstring& path);
  const RecentFiles& Recent() const { return recentFiles_; }
  // The file the user last opened or saved (empty when none).
  std::wstring LastFile() const;

 private:
  void UpdateRecentMenu();
  void OnFileRecent(size_t index);
  bool OnCopyData(const COPYDATASTRUCT& data);
  void OpenHandedFiles();

  FrameServices& frame_;
  Settings& settings_;
  HMENU fileMenu_;
  OpenFile open_;
  RecentFiles recentFiles_{settings_};
  // Files a second start handed over, opened once its message has been answered.
  std::vector<std::wstring> handedFiles_;
};
