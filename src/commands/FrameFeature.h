#pragma once

#include <windows.h>

#include "win/Message.h"

class AmbientView;
class CommandStateMap;

// One thing the editor does (the documents' files, the sounds, find and replace...), as the
// frame sees it. The frame owns each feature, routes the commands the command table gives it,
// and tells it of the few events it follows; everything else stays inside the feature.
// Every hook but the commands does nothing unless the feature has a use for it.
class FrameFeature {
 public:
  virtual ~FrameFeature() = default;

  // Carries out a command the table routes here; false when it is not this feature's after all,
  // so that the frame's default processing sees it.
  virtual bool OnCommand(UINT id) = 0;
  // The idle pass: the enabled and checked states of the feature's commands, and whatever
  // else waits for the thread to go idle (a recovery copy, the sound panes).
  virtual void UpdateStates(CommandStateMap&) {}
  // A message of the loop before the accelerators (a key the feature takes); true when taken.
  virtual bool FilterMessage(MSG&) { return false; }
  // A message to the frame the feature answers (a registered message, a timer, a notice of a
  // worker thread); true when consumed, with the result set.
  virtual bool HandleMessage(Message&) { return false; }
  // A document view was made and is about to be filled.
  virtual void OnViewCreated(AmbientView&) {}
  // Views whose windows are gone are about to be released (compare handles with null).
  virtual void OnViewsClosing() {}
  // The frame's window is going: dialogs and sounds of the feature go with it.
  virtual void OnFrameDestroying() {}
  // The frame came back from the background: files may have come or gone meanwhile.
  virtual void OnFrameActivated() {}
};
