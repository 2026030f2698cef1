#pragma once

#include <string>
#include <vector>

#include "win/UniqueHandle.h"
#include "win/Window.h"

// A stand-in for the grid: a top-level window that records every grid message an editor
// sends or posts it, and ends the edit the way the test asks. InSendMessage cannot tell a
// message sent from the same thread from a posted one, so a message hook marks the grid
// messages taken from the queue.
class RecordingGrid : public Window {
 public:
  struct Received {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    bool sent;          // arrived through SendMessage (the sender waited for it)
    std::wstring text;  // the editor's text when a commit or cancel arrived
  };
  enum class EndPolicy { PostClose, DestroyAtOnce, KeepOpen };

  RecordingGrid();
  ~RecordingGrid() override;
  HFONT Font() const { return font_.get(); }

  std::vector<Received> received;
  EndPolicy policy = EndPolicy::PostClose;

 protected:
  bool HandleMessage(Message& m) override;

 private:
  static LRESULT CALLBACK OnQueueMessage(int code, WPARAM wParam, LPARAM lParam);

  UniqueFont font_;
  HHOOK hook_ = nullptr;
  int postedPending_ = 0;  // grid messages taken from the queue and not dispatched yet
};
