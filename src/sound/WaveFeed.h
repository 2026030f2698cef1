#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "sound/WaveOutput.h"

// Feeds an output device a few buffers at a time, refilling each as the device hands it back.
// It owns everything the device may touch (the device, the buffers, the signal's share), so that
// a feed the device would not let go of can be kept whole for the rest of the process. Each
// buffer is prepared once, for memory that stays where it is; every prepare is undone before
// the device closes, and the device closes only once it has handed every buffer back.
class WaveFeed {
 public:
  // Puts what plays next into `samples`; returns how many it put (fewer at the end, 0: no more).
  using Fill = std::function<std::size_t(std::span<std::int16_t> samples)>;
  // Told before each wait how many samples the device still holds, not yet heard.
  using Progress = std::function<void(std::size_t queuedSamples)>;

  enum class Ending {
    Finished,     // every sample was handed over and came back
    Stopped,      // asked to stop
    WriteFailed,  // the device refused a buffer mid-play: Error() says why
    DeviceStuck,  // the device kept its buffers past a bounded wait
  };

  // A device that hands nothing back for this long is taken as stuck, and one that still holds
  // buffers this long after a reset is given up on.
  static constexpr std::uint32_t StuckMs = 2000;

  WaveFeed(std::unique_ptr<WaveOutput> output, std::shared_ptr<WaveSignal> wake);
  ~WaveFeed();
  WaveFeed(const WaveFeed&) = delete;
  WaveFeed& operator=(const WaveFeed&) = delete;

  // Opens the device and prepares `bufferCount` buffers of `bufferSamples`; on failure nothing
  // stays open or prepared.
  WaveResult Open(const WaveFormat& format, std::size_t bufferSamples, std::size_t bufferCount);
  // Plays until `fill` has no more, `stop` is set or the device fails, waking at least every
  // `pollMs`. The device is closed afterwards unless it still holds buffers (Holding()).
  Ending Play(const Fill& fill, const std::atomic<bool>& stop, std::uint32_t pollMs,
              const Progress& progress = {});
  WaveResult Error() const { return error_; }
  // The device kept buffers after a reset: it may still write to them, so nothing of this feed
  // may be freed; KeepForever takes it.
  bool Holding() const { return holding_; }

  static void KeepForever(std::unique_ptr<WaveFeed> feed);

 private:
  struct Slot {
    std::vector<std::int16_t> storage;
    WaveBuffer buffer;
    bool prepared = false;
    bool queued = false;
  };

  WaveResult Queue(Slot& slot, std::size_t count);
  bool CollectReturned();
  std::size_t QueuedSamples() const;
  bool TakeBuffersBack();
  void Release();

  std::unique_ptr<WaveOutput> output_;
  std::shared_ptr<WaveSignal> wake_;
  // Sized once in Open and never again: the device knows each buffer by its address.
  std::vector<Slot> slots_;
  WaveResult error_ = WaveOk;
  bool open_ = false;
  bool holding_ = false;
};
