#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

// Tells the shell's own recent-documents list about opened and saved files, off the interface
// thread: the shell writes a shortcut file per document, which takes tens of milliseconds that
// an open or a save should not wait for. Files are handed over in order by one worker, started
// on the first file; the owner's end waits for what was handed over.
class ShellRecentList {
 public:
  ShellRecentList() = default;
  ShellRecentList(const ShellRecentList&) = delete;
  ShellRecentList& operator=(const ShellRecentList&) = delete;
  ~ShellRecentList();

  void Add(const std::wstring& path);
  // While held, workers tell the shell nothing (for at most a few seconds): the editor holds
  // them while it draws its first picture, which loading the shell's library alongside would
  // delay, and lets them go once it is up. Not held unless asked.
  static void HoldWhileStarting(bool hold);
  // Returns once every file handed over so far has reached the shell.
  void Flush();

 private:
  void Run();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable drained_;
  std::deque<std::wstring> pending_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread worker_;
};
