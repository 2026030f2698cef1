#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "commands/FrameFeature.h"
#include "commands/FrameServices.h"
#include "resources/ResourceIds.h"
#include "session/Settings.h"
#include "sound/SoundPlayer.h"
#include "soundfolder/SoundFileCheck.h"
#include "soundfolder/SoundFolderWatch.h"
#include "soundfolder/SoundNameCompletion.h"

// Posted by the sound player's worker to the frame (wParam: the play's generation).
constexpr UINT WM_SOUND_NOTICE = WM_APP + 32;
// Posted by the sound folders' watch to the frame: files came, went or changed under one of them.
constexpr UINT WM_SOUND_FOLDER_CHANGED = WM_APP + 33;

// The documents' sounds: playing the selected entry's file (and Escape to stop it), the sound
// folder (chosen by the user or found near the document), the names whose files are not in it,
// and the name editor's browse button and completion from the folder's files.
class SoundFeature : public FrameFeature {
 public:
  static constexpr UINT kCommands[] = {CMD_SOUND_PLAY, CMD_SOUND_STOP, CMD_VIEW_SOUND_FOLDER,
                                       CMD_VIEW_SOUND_FOLDER_AUTO};
  // Another sound the program makes (the ambience preview): one stops the other.
  struct OtherSound {
    std::function<bool()> isPlaying;
    std::function<void()> stop;
  };

  // The other views of the sound folders (the problems): which folders they look in besides the
  // active document's, and what to tell them when files there changed.
  struct FolderViews {
    std::function<std::vector<std::wstring>()> folders;
    std::function<void()> filesChanged;
  };

  SoundFeature(FrameServices& frame, Settings& settings);
  void SetOtherSound(OtherSound other) { other_ = std::move(other); }
  void SetFolderViews(FolderViews views) { folderViews_ = std::move(views); }

  bool OnCommand(UINT id) override;
  void UpdateStates(CommandStateMap& states) override;
  bool FilterMessage(MSG& msg) override;
  bool HandleMessage(Message& m) override;
  void OnViewCreated(AmbientView& view) override;
  void OnViewsClosing() override;
  void OnFrameDestroying() override {
    Stop();
    watch_.Watch({});
  }
  void OnFrameActivated() override;

  void Stop();
  bool IsPlaying() const { return player_.IsPlaying(); }
  // The folder the active document's sounds are found in (empty when none is known).
  std::wstring CurrentFolder();
  SoundFileCheck& Check() { return soundCheck_; }
  const SoundFolderWatch& Watch() const { return watch_; }
  const SoundPlayer& Player() const { return player_; }
  // The open name editor's browse ("…"): the user picks the file for the name.
  void BrowseSoundName();

 private:
  void Play();
  void OnSoundNotice(unsigned generation);
  void WatchFoldersInUse();
  void OnFilesChanged();
  void ChooseSoundFolder();
  void FindSoundFolderAutomatically();
  void UpdateSoundFolder();
  int ShowFolderAndCounts();
  bool IsStopSoundKey(const MSG& msg) const;
  bool IsBrowseSoundKey(const MSG& msg) const;
  void MarkMissingSounds(AmbientView& view);
  void OnNameEditorOpened(HWND editor, int col);
  SoundNameList SoundNames();
  bool CellEditorOpen() const;
  bool IsFramesKey(const MSG& msg) const;

  FrameServices& frame_;
  Settings& settings_;
  OtherSound other_;
  SoundPlayer player_;
  SoundFileCheck soundCheck_;
  FolderViews folderViews_;
  SoundFolderWatch watch_;
  // The sound folder's files the name editors complete from, and the folder they were read
  // from; read again at the first editor after the folder changed or the frame came back.
  SoundNameList soundNames_;
  std::wstring soundNamesFolder_;
  // The view whose entry plays; its page closing stops the sound.
  const AmbientView* playingView_ = nullptr;
  // The document path the sound folder was last looked for from, and what was found there.
  std::wstring searchedDocumentPath_;
  std::wstring foundFolder_;
};
