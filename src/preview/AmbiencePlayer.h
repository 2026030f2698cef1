#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "ambience/AmbienceStream.h"
#include "sound/WaveFeed.h"
#include "sound/WaveOutput.h"

// The live preview's sound: an ambience stream played through the wave output, block after
// block, on a thread of its own. The interface thread hands it every edit (Update) and it is
// heard from each entry's next start; what plays, plays out. Four blocks of 50 ms are queued
// at most, so a change of the list or Stop is heard within 200 ms. Portable: the native tests
// play it into a stand-in device that keeps the system's rules.
class AmbiencePlayer {
 public:
  using OutputFactory = std::function<std::unique_ptr<WaveOutput>()>;
  static constexpr int BlockMs = 50;
  static constexpr int QueuedBlocks = 4;

  // Why a preview ended that nobody stopped.
  struct Fault {
    WaveFeed::Ending ending = WaveFeed::Ending::Finished;  // WriteFailed or DeviceStuck
    WaveResult error = WaveOk;                             // WriteFailed: the device's reason
  };

  // Without a factory, the system's wave output (Windows only).
  explicit AmbiencePlayer(OutputFactory makeOutput = nullptr);
  ~AmbiencePlayer();
  AmbiencePlayer(const AmbiencePlayer&) = delete;
  AmbiencePlayer& operator=(const AmbiencePlayer&) = delete;

  // Starts `stream` from its beginning; false (with the device's reason in LastError) when the
  // device cannot play. A preview already playing stops first.
  bool Start(std::unique_ptr<AmbienceStream> stream);
  // Silences the preview and returns at once; the worker lets go of the device on its own.
  void Stop();
  bool IsPlaying() const { return playing_ && playing_->running.load(); }
  WaveResult LastError() const { return lastError_; }
  // The device's failure that ended the preview on its own, once: the caller says so.
  std::optional<Fault> TakeFault();
  // The device the next Start opens (tests stand in for the sound card); nothing keeps it.
  void UseOutput(OutputFactory makeOutput) {
    if (makeOutput) makeOutput_ = std::move(makeOutput);
  }

  // Runs `change` on the stream between two blocks (edits, another volume scale).
  void Change(const std::function<void(AmbienceStream&)>& change);
  // Where the listener is now, in frames from the beginning (the blocks still queued are not
  // heard yet), and the entries sounding there.
  std::int64_t HeardFrame() const;
  std::vector<int> SoundingEntries() const;

 private:
  struct Playback {
    std::mutex lock;
    std::unique_ptr<AmbienceStream> stream;
    std::shared_ptr<WaveSignal> wake = std::make_shared<WaveSignal>();
    std::atomic<bool> stop{false};
    std::atomic<bool> running{true};
    std::atomic<std::int64_t> heard{0};
    std::vector<int> sounding;
    std::optional<Fault> fault;  // under `lock`
  };
  static void Run(std::shared_ptr<Playback> playback, std::unique_ptr<WaveFeed> feed);
  static std::size_t RenderBlock(Playback& playback, std::span<std::int16_t> samples);

  OutputFactory makeOutput_;
  std::shared_ptr<Playback> playing_;
  WaveResult lastError_ = WaveOk;
};
