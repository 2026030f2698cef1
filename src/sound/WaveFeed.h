#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <vector>

#include "sound/SoundDecoder.h"
#include "sound/WaveOutput.h"

// Feeds decoded samples to an opened output device a few buffers at a time, refilling each as
// the device hands it back. It owns everything the device may still touch (the device, the
// samples, the buffer headers), so that whoever holds a feed the device would not let go of
// can keep all of it alive together.
class WaveFeed {
 public:
  WaveFeed(std::unique_ptr<WaveOutput> output, DecodedSound sound, HANDLE bufferDone,
           const std::atomic<bool>& stopRequested);
  WaveFeed(const WaveFeed&) = delete;
  WaveFeed& operator=(const WaveFeed&) = delete;

  // Plays to the end, or until a stop is requested (the event given to the feed is set too).
  // True once the device has handed every buffer back and is closed; false when it kept some
  // after a reset, and so still owns them: then nothing of the feed may be freed.
  bool Play();

 private:
  static constexpr std::size_t BufferCount = 4;

  void Queue(std::size_t index);
  bool AnyQueued() const;
  bool TakeBuffersBack();

  std::unique_ptr<WaveOutput> output_;
  DecodedSound sound_;
  std::vector<std::int16_t> silence_;
  HANDLE bufferDone_;
  const std::atomic<bool>& stopRequested_;
  std::array<WAVEHDR, BufferCount> buffers_{};
  std::array<bool, BufferCount> queued_{};
  std::size_t chunk_ = 0;
  std::size_t next_ = 0;  // position in the samples followed by the silence
};
