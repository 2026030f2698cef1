#include "sound/WaveFeed.h"

#include <algorithm>
#include <chrono>
#include <mutex>

namespace {

using Clock = std::chrono::steady_clock;

// How often a feed waiting for a device after a reset looks again.
constexpr std::uint32_t ResetPollMs = 20;

}  // namespace

WaveFeed::WaveFeed(std::unique_ptr<WaveOutput> output, std::shared_ptr<WaveSignal> wake)
    : output_(std::move(output)), wake_(std::move(wake)) {}

WaveFeed::~WaveFeed() {
  if (open_ && !holding_) Release();
}

WaveResult WaveFeed::Open(const WaveFormat& format, std::size_t bufferSamples, std::size_t bufferCount) {
  slots_ = std::vector<Slot>(bufferCount);
  for (Slot& slot : slots_) {
    slot.storage.assign(bufferSamples, 0);
    slot.buffer = {slot.storage.data(), slot.storage.size()};
  }
  if (const WaveResult opened = output_->Open(format, *wake_); opened != WaveOk) return opened;
  open_ = true;
  for (Slot& slot : slots_) {
    if (const WaveResult prepared = output_->Prepare(slot.buffer); prepared != WaveOk) {
      Release();
      return prepared;
    }
    slot.prepared = true;
  }
  return WaveOk;
}

WaveFeed::Ending WaveFeed::Play(const Fill& fill, const std::atomic<bool>& stop, std::uint32_t pollMs,
                                const Progress& progress) {
  bool more = true;
  bool stalled = false;
  auto lastBack = Clock::now();
  for (;;) {
    if (CollectReturned()) lastBack = Clock::now();
    for (Slot& slot : slots_) {
      if (slot.queued || !more || stop || error_ != WaveOk) continue;
      std::size_t count = 0;
      try {
        count = fill(slot.storage);
      } catch (...) {
        // Nothing to play (no memory to mix it): what is queued still comes back.
      }
      if (count == 0) {
        more = false;
      } else {
        error_ = Queue(slot, count);
      }
    }
    const std::size_t queued = QueuedSamples();
    if (stop || error_ != WaveOk || (queued == 0 && !more)) break;
    if (queued > 0 && Clock::now() - lastBack > std::chrono::milliseconds(StuckMs)) {
      stalled = true;
      break;
    }
    if (progress) progress(queued);
    wake_->Wait(pollMs);
  }
  if (!TakeBuffersBack()) return Ending::DeviceStuck;
  Release();
  if (stalled) return Ending::DeviceStuck;
  if (error_ != WaveOk) return Ending::WriteFailed;
  return stop ? Ending::Stopped : Ending::Finished;
}

// A shorter last piece needs its header prepared for the length it now names.
WaveResult WaveFeed::Queue(Slot& slot, std::size_t count) {
  if (count != slot.buffer.count) {
    if (const WaveResult undone = output_->Unprepare(slot.buffer); undone != WaveOk) return undone;
    slot.prepared = false;
    slot.buffer.count = count;
    if (const WaveResult prepared = output_->Prepare(slot.buffer); prepared != WaveOk) return prepared;
    slot.prepared = true;
  }
  if (const WaveResult written = output_->Write(slot.buffer); written != WaveOk) return written;
  slot.queued = true;
  return WaveOk;
}

// Marks the buffers the device has handed back; true when there was one.
bool WaveFeed::CollectReturned() {
  bool any = false;
  for (Slot& slot : slots_) {
    if (!slot.queued || !output_->Done(slot.buffer)) continue;
    slot.queued = false;
    any = true;
  }
  return any;
}

std::size_t WaveFeed::QueuedSamples() const {
  std::size_t samples = 0;
  for (const Slot& slot : slots_) samples += slot.queued ? slot.buffer.count : 0;
  return samples;
}

// Resets the device if it holds buffers and waits a bounded time for them.
bool WaveFeed::TakeBuffersBack() {
  CollectReturned();
  if (QueuedSamples() == 0) return true;
  output_->Reset();
  const auto deadline = Clock::now() + std::chrono::milliseconds(StuckMs);
  for (;;) {
    CollectReturned();
    if (QueuedSamples() == 0) return true;
    if (Clock::now() > deadline) {
      holding_ = true;
      return false;
    }
    wake_->Wait(ResetPollMs);
  }
}

void WaveFeed::Release() {
  for (Slot& slot : slots_) {
    if (slot.prepared) output_->Unprepare(slot.buffer);
    slot.prepared = false;
  }
  output_->Close();
  open_ = false;
}

// Reachable from here, the feed is neither freed nor taken for a leak.
void WaveFeed::KeepForever(std::unique_ptr<WaveFeed> feed) {
  static std::mutex lock;
  static auto* kept = new std::vector<std::unique_ptr<WaveFeed>>();
  const std::lock_guard guard(lock);
  kept->push_back(std::move(feed));
}
