#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "sound/SoundDecoder.h"
#include "sound/WaveOutput.h"

enum class PlayState { Idle, Playing, Finished, Failed };

enum class PlayFailure {
  None,
  CannotRead,   // the file is missing or unreadable: systemError says why
  Refused,      // the decoder refused it: refusal says why
  NoDevice,     // the system has no wave output at all
  DeviceError,  // the device would not take the sound: deviceError says why
  OutOfMemory,  // the file or its samples did not fit in memory
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
// Status(). Stop, a new Play and destroying the player silence what plays and return at once:
// the worker lets go of the file, the samples and the device on its own, however long its
// current step (a slow read, a long decode, a device that is slow to hand buffers back) takes.
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
  // Silences what plays; never waits for the worker.
  void Stop();
  bool IsPlaying() const;
  PlayStatus Status() const;
  // Whether every worker has let go of its device, waiting up to `timeoutMs` for them.
  bool WaitUntilIdle(DWORD timeoutMs) const;

 private:
  // What the player and its workers share; a worker may outlive the player.
  struct Shared;
  // One Play: what its worker reads, and how it is told to stop.
  struct Playback;

  static void Run(std::shared_ptr<Shared> shared, std::shared_ptr<Playback> playback);
  static void ReadDecodeAndPlay(Shared& shared, const std::shared_ptr<Playback>& playback);
  static void Report(Shared& shared, const Playback& playback,
                     const std::function<void(PlayStatus&)>& change);

  OutputFactory makeOutput_;
  std::shared_ptr<Shared> shared_;
  std::shared_ptr<Playback> current_;
};
