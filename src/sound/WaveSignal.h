#pragma once

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
#include <condition_variable>
#include <mutex>
#endif

// Wakes the thread that feeds a wave output: the device sets it when it hands a buffer back, and
// whoever stops the sound sets it too, so that the feeder never sleeps through either. It stays
// set until a wait takes it, as an auto-reset event does. On Windows it is that event, which
// the device is opened with (CALLBACK_EVENT); elsewhere the stand-ins of tests set it.
class WaveSignal {
 public:
  WaveSignal();
  ~WaveSignal();
  WaveSignal(const WaveSignal&) = delete;
  WaveSignal& operator=(const WaveSignal&) = delete;

  // False when the system had no event to give.
  bool Valid() const;
  void Set();
  // Returns when set (taking it) or after `timeoutMs`.
  void Wait(std::uint32_t timeoutMs);

#ifdef _WIN32
  HANDLE Event() const { return event_; }

 private:
  HANDLE event_;
#else
 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool set_ = false;
#endif
};
