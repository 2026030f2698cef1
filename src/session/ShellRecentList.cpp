#include "session/ShellRecentList.h"

// SHAddToRecentDocs needs the base declarations first.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <chrono>
#include <system_error>

#include "win/ThreadGuard.h"

namespace {

// A safety net: a start that never gets to let the workers go holds them no longer than this.
constexpr std::chrono::seconds kLongestHold{3};

std::mutex holdMutex;
std::condition_variable holdEnded;
bool held = false;

void WaitWhileHeld() {
  std::unique_lock lock(holdMutex);
  holdEnded.wait_for(lock, kLongestHold, [] { return !held; });
}

}  // namespace

void ShellRecentList::HoldWhileStarting(bool hold) {
  {
    std::lock_guard lock(holdMutex);
    held = hold;
  }
  if (!hold) holdEnded.notify_all();
}

ShellRecentList::~ShellRecentList() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  if (worker_.joinable()) worker_.join();
}

void ShellRecentList::Add(const std::wstring& path) {
  {
    std::lock_guard lock(mutex_);
    pending_.push_back(path);
    if (!worker_.joinable()) {
      try {
        worker_ = std::thread(GuardedThreadEntry([this] { Run(); }));
      } catch (const std::system_error&) {
        // No thread to be had: the shell is told here, at the old price.
        pending_.pop_back();
        SHAddToRecentDocs(SHARD_PATHW, path.c_str());
        return;
      }
    }
  }
  wake_.notify_one();
}

void ShellRecentList::Flush() {
  std::unique_lock lock(mutex_);
  drained_.wait(lock, [this] { return pending_.empty() && !busy_; });
}

void ShellRecentList::Run() {
  WaitWhileHeld();
  // The shell writes its shortcuts through COM objects of its own.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
    // What was handed over before the end still goes to the shell.
    if (pending_.empty()) break;
    const std::wstring path = std::move(pending_.front());
    pending_.pop_front();
    busy_ = true;
    lock.unlock();
    SHAddToRecentDocs(SHARD_PATHW, path.c_str());
    lock.lock();
    busy_ = false;
    if (pending_.empty()) drained_.notify_all();
  }
  lock.unlock();
  if (SUCCEEDED(com)) CoUninitialize();
}
