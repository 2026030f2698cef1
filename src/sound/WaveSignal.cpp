#include "sound/WaveSignal.h"

#include <chrono>

#ifdef _WIN32

WaveSignal::WaveSignal() : event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

WaveSignal::~WaveSignal() {
  if (event_ != nullptr) CloseHandle(event_);
}

bool WaveSignal::Valid() const { return event_ != nullptr; }

void WaveSignal::Set() { SetEvent(event_); }

void WaveSignal::Wait(std::uint32_t timeoutMs) { WaitForSingleObject(event_, timeoutMs); }

#else

WaveSignal::WaveSignal() = default;

WaveSignal::~WaveSignal() = default;

bool WaveSignal::Valid() const { return true; }

void WaveSignal::Set() {
  {
    const std::lock_guard lock(mutex_);
    set_ = true;
  }
  changed_.notify_all();
}

void WaveSignal::Wait(std::uint32_t timeoutMs) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return set_; });
  set_ = false;
}

#endif
