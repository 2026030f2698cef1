#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "sound/SoundDecoder.h"
#include "sound/WaveOutput.h"

enum class PlayState { Idle, Playing, Finished, Failed };

enum class PlayFailure {
  None,
  CannotRead,   // the file is missing or unreadable: systemError says why
  Refused,      // the decoder refused it: refusal says why
  NoDevice,     // the system has no wave output at all
  DeviceError,  // the device would not take the sound: deviceError says why
};

struct PlayStatus {
  // Counts the Play calls; a notice about an older one is stale.
  unsigned generation = 0;
  PlayState state = PlayState::Idle;
  std::wstring path;
  std::uint64_t durationMs = 0;
  PlayFailure failure = PlayFailure::None;
  SoundRefusal refusal = SoundRefusal::None;
  DWORD systemError = 0;
  MMRESULT deviceError = MMSYSERR_NOERROR;
};

// Plays one sound file at a time on a worker thread, which reads, decodes and feeds the output
// device so that nothing of it waits on the interface thread. The window given to the player
// is posted `message` (wParam: the generation) whenever the status changes; it then reads
// Status(). Destroying the player stops what plays.
class SoundPlayer {
 public:
  using OutputFactory = std::function<std::unique_ptr<WaveOutput>()>;

  // Files larger than this are refused before they are read: no ambient sound comes near it.
  static constexpr std::uint64_t MaxFileBytes = std::uint64_t{64} << 20;

  explicit SoundPlayer(OutputFactory makeOutput = nullptr);
  ~SoundPlayer();
  SoundPlayer(const SoundPlayer&) = delete;
  SoundPlayer& operator=(const SoundPlayer&) = delete;

  void SetNotifyWindow(HWND window, UINT message);
  // Stops what plays and starts `path`; returns the new generation.
  unsigned Play(const std::wstring& path);
  // Returns once the device is released and every buffer is back; quick, however long the sound.
  void Stop();
  bool IsPlaying() const;
  PlayStatus Status() const;

 private:
  void Run(std::wstring path, unsigned generation);
  void Feed(const DecodedSound& sound, WaveOutput& output);
  void Report(unsigned generation, const std::function<void(PlayStatus&)>& change);

  OutputFactory makeOutput_;
  HWND notifyWindow_ = nullptr;
  UINT notifyMessage_ = 0;
  mutable std::mutex mutex_;
  PlayStatus status_;
  std::thread worker_;
  std::atomic<bool> stopRequested_{false};
  HANDLE wake_ = nullptr;  // the device's buffer-done event, also set by Stop
};
