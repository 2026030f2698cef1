#include "sound/WaveFeed.h"

#include <algorithm>

namespace {

// A tenth of a second per buffer and four in flight: short enough that Stop is heard at once,
// long enough that a busy machine does not starve the device.
constexpr std::uint32_t BuffersPerSecond = 10;
// Played after the last samples. A buffer comes back when the device has taken it, not when it
// has been heard: the sound server and the card still hold a little of it, and closing the
// device drops that. With this silence behind the sound, what is dropped is silence.
constexpr std::uint32_t TailSilenceMs = 200;
// A device that never hands its buffers back after a reset must not hold the worker forever.
constexpr DWORD ResetWaitMs = 2000;

}  // namespace

WaveFeed::WaveFeed(std::unique_ptr<WaveOutput> output, DecodedSound sound, HANDLE bufferDone,
                   const std::atomic<bool>& stopRequested)
    : output_(std::move(output)),
      sound_(std::move(sound)),
      silence_(std::size_t{sound_.sampleRate} * TailSilenceMs / 1000 * sound_.channels),
      bufferDone_(bufferDone),
      stopRequested_(stopRequested),
      chunk_(std::max<std::size_t>(1, sound_.sampleRate / BuffersPerSecond) * sound_.channels) {}

bool WaveFeed::Play() {
  const std::size_t total = sound_.samples.size() + silence_.size();
  for (std::size_t index = 0; index < BufferCount && next_ < total && !stopRequested_; ++index) Queue(index);
  while (AnyQueued() && !stopRequested_) {
    WaitForSingleObject(bufferDone_, INFINITE);
    for (std::size_t index = 0; index < BufferCount; ++index) {
      if (!queued_[index] || !(buffers_[index].dwFlags & WHDR_DONE)) continue;
      queued_[index] = false;
      if (next_ < total && !stopRequested_) Queue(index);
    }
  }
  if (!TakeBuffersBack()) return false;
  output_->Close();
  return true;
}

// Points a buffer at the next samples (the sound's, then the silence's) and queues it.
void WaveFeed::Queue(std::size_t index) {
  const std::size_t soundSize = sound_.samples.size();
  const bool inSound = next_ < soundSize;
  const std::int16_t* start = inSound ? sound_.samples.data() + next_ : silence_.data() + (next_ - soundSize);
  const std::size_t count =
      std::min(chunk_, inSound ? soundSize - next_ : soundSize + silence_.size() - next_);
  WAVEHDR& buffer = buffers_[index];
  buffer.lpData = reinterpret_cast<LPSTR>(const_cast<std::int16_t*>(start));
  buffer.dwBufferLength = static_cast<DWORD>(count * sizeof(std::int16_t));
  buffer.dwFlags &= WHDR_PREPARED;
  queued_[index] = output_->Write(buffer) == MMSYSERR_NOERROR;
  next_ += count;
}

bool WaveFeed::AnyQueued() const { return std::find(queued_.begin(), queued_.end(), true) != queued_.end(); }

// After a stop, resets the device and waits a bounded time for the buffers it holds.
bool WaveFeed::TakeBuffersBack() {
  if (!AnyQueued()) return true;
  output_->Reset();
  const DWORD start = GetTickCount();
  for (;;) {
    bool waiting = false;
    for (std::size_t index = 0; index < BufferCount; ++index) {
      waiting = waiting || (queued_[index] && !(buffers_[index].dwFlags & WHDR_DONE));
    }
    if (!waiting) return true;
    if (GetTickCount() - start > ResetWaitMs) return false;
    WaitForSingleObject(bufferDone_, 50);
  }
}
