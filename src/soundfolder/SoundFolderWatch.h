#pragma once

// Tells the frame when files come, go or change under the sound folders in use, so that every
// view of them (the grid's marks, the counts, the problems) looks again at once, whichever
// program is in front. The system reports changes to a thread per folder; the thread posts one
// message and posts no other until the frame says it took it in, so copying a thousand files
// wakes the frame once, not a thousand times.

#include <windows.h>

#include <atomic>
#include <map>
#include <memory>
#include <set>
#include <string>

class SoundFolderWatch {
 public:
  // `message` is posted to `window`, with no arguments.
  SoundFolderWatch(HWND window, UINT message);
  ~SoundFolderWatch();
  SoundFolderWatch(const SoundFolderWatch&) = delete;
  SoundFolderWatch& operator=(const SoundFolderWatch&) = delete;

  // Watches exactly `folders` from now on, with everything below them: new ones start, the
  // others stop. A folder that does not exist is not watched (and a later call tries again).
  void Watch(const std::set<std::wstring>& folders);
  // The frame took the message in: the next change posts another. Call it before looking at the
  // disk again, so that a change made while it looks is not lost.
  void Acknowledge() { posted_ = false; }
  // The folders watched now, for tests.
  std::set<std::wstring> Watched() const;

 private:
  class Folder;
  void Changed();

  HWND window_;
  UINT message_;
  std::atomic<bool> posted_ = false;
  std::map<std::wstring, std::unique_ptr<Folder>> folders_;
};
