#pragma once

// Probes sound files on a thread of its own, so that typing a name, painting or checking a list
// never waits for a disk or a decoder. The document side asks for a verdict and gets what is
// known; an unknown path answers Pending and is queued. When a verdict arrives or changes, the
// generation grows and `notify` runs (on the worker thread: a window posts itself a message).

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>

#include "problems/ProbeFileSystem.h"
#include "problems/SoundProbe.h"

class SoundProbeWorker {
 public:
  static constexpr std::size_t kMaxKnownSounds = 20000;

  using Notify = std::function<void()>;

  // `files` must outlive the worker.
  explicit SoundProbeWorker(const ProbeFileSystem& files, Notify notify = {});
  ~SoundProbeWorker();
  SoundProbeWorker(const SoundProbeWorker&) = delete;
  SoundProbeWorker& operator=(const SoundProbeWorker&) = delete;

  // The verdict known for `path`, or Pending with the path queued for a probe.
  SoundProbe Lookup(const std::wstring& path);
  // Probes every known path again, keeping its verdict meanwhile: files may have come, gone or
  // changed. Unchanged stamps cost a stat, no read. The file being probed now is probed again
  // after: what it was probed from may be older than the change.
  void RecheckAll();
  // Grows whenever a verdict is stored that differs from the one before.
  std::uint64_t Generation() const;
  // Whether paths are queued or being probed; for tests and for a command line that must wait.
  bool Busy() const;
  // Blocks until nothing is queued; only for callers that may wait (the command line, tests).
  void WaitUntilIdle();
  // Ends the thread, giving up the decode in progress between two of its pages; queued paths are
  // dropped. The destructor calls it.
  void Stop();

 private:
  void Run();
  void ProbeOne(const std::wstring& path);
  void Queue(const std::wstring& path);

  const ProbeFileSystem& files_;
  Notify notify_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<std::wstring> queue_;
  std::unordered_set<std::wstring> queued_;
  SoundProbeCache cache_;
  std::uint64_t generation_ = 0;
  bool probing_ = false;
  bool probeAgain_ = false;  // a recheck came while the path in hand was being probed
  bool stopping_ = false;
  // Read by the decode without the lock.
  std::atomic<bool> stopRequested_{false};
  std::thread thread_;  // last: starts once everything above is in place
};
