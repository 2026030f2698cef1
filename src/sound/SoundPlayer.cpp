#include "sound/SoundPlayer.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <new>
#include <span>
#include <thread>
#include <vector>

#include "sound/WaveFeed.h"
#include "sound/WaveOutDevice.h"
#include "win/ThreadGuard.h"

struct SoundPlayer::Shared {
  mutable std::mutex mutex;
  std::condition_variable workersDone;
  PlayStatus status;
  HWND notifyWindow = nullptr;
  UINT notifyMessage = 0;
  int workers = 0;
};

struct SoundPlayer::Playback {
  std::wstring path;
  unsigned generation = 0;
  OutputFactory makeOutput;
  std::atomic<bool> stopRequested{false};
  // The device's buffer-done signal, also set by Stop; shared with a feed that may outlive this.
  std::shared_ptr<WaveSignal> wake = std::make_shared<WaveSignal>();
};

namespace {

// Read in pieces so that a stop is seen between them, even on a slow network drive.
constexpr DWORD ReadChunkBytes = DWORD{1} << 20;

struct FileBytes {
  std::vector<std::byte> bytes;
  DWORD error = ERROR_SUCCESS;
  bool tooLarge = false;
};

void ReadInto(HANDLE handle, FileBytes& file, const std::atomic<bool>& stopRequested) {
  std::size_t done = 0;
  while (done < file.bytes.size() && !stopRequested) {
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(ReadChunkBytes, file.bytes.size() - done));
    DWORD read = 0;
    if (!ReadFile(handle, file.bytes.data() + done, wanted, &read, nullptr)) {
      file.error = GetLastError();
      break;
    }
    if (read == 0) break;
    done += read;
  }
  file.bytes.resize(done);
}

FileBytes ReadWholeFile(const std::wstring& path, std::uint64_t maxBytes, const std::atomic<bool>& stopRequested) {
  FileBytes file;
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    file.error = GetLastError();
    return file;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle, &size)) {
    file.error = GetLastError();
  } else if (static_cast<std::uint64_t>(size.QuadPart) > maxBytes) {
    file.tooLarge = true;
  } else {
    try {
      file.bytes.resize(static_cast<std::size_t>(size.QuadPart));
      ReadInto(handle, file, stopRequested);
    } catch (...) {
      CloseHandle(handle);
      throw;
    }
  }
  CloseHandle(handle);
  return file;
}

// A tenth of a second per buffer and four in flight: short enough that Stop is heard at once,
// long enough that a busy machine does not starve the device.
constexpr std::uint32_t BuffersPerSecond = 10;
constexpr std::size_t BufferCount = 4;
// Played after the last samples. A buffer comes back when the device has taken it, not when it
// has been heard: the sound server and the card still hold a little of it, and closing the
// device drops that. With this silence behind the sound, what is dropped is silence.
constexpr std::uint32_t TailSilenceMs = 200;

// Hands out the sound's samples, then the silence, a buffer at a time.
WaveFeed::Fill SamplesThenSilence(const DecodedSound& sound) {
  const std::size_t total = sound.samples.size() + std::size_t{sound.sampleRate} * TailSilenceMs / 1000 * sound.channels;
  return [&sound, total, next = std::size_t{0}](std::span<std::int16_t> buffer) mutable {
    const std::size_t count = std::min(buffer.size(), total - next);
    for (std::size_t index = 0; index < count; ++index, ++next)
      buffer[index] = next < sound.samples.size() ? sound.samples[next] : 0;
    return count;
  };
}

bool IsMissingDevice(MMRESULT result) {
  return result == MMSYSERR_NODRIVER || result == MMSYSERR_BADDEVICEID || result == MMSYSERR_NOTENABLED;
}

}  // namespace

SoundPlayer::SoundPlayer(OutputFactory makeOutput)
    : makeOutput_(makeOutput ? std::move(makeOutput) : [] { return std::make_unique<WaveOutDevice>(); }),
      shared_(std::make_shared<Shared>()) {}

SoundPlayer::~SoundPlayer() {
  Stop();
  // A worker still letting go of its device tells nobody: the window may be gone by then.
  std::lock_guard lock(shared_->mutex);
  shared_->notifyWindow = nullptr;
}

void SoundPlayer::SetNotifyWindow(HWND window, UINT message) {
  std::lock_guard lock(shared_->mutex);
  shared_->notifyWindow = window;
  shared_->notifyMessage = message;
}

unsigned SoundPlayer::Play(const std::wstring& path) {
  Stop();
  auto playback = std::make_shared<Playback>();
  playback->path = path;
  playback->makeOutput = makeOutput_;
  {
    std::lock_guard lock(shared_->mutex);
    playback->generation = shared_->status.generation + 1;
    shared_->status = PlayStatus{playback->generation, PlayState::Playing, path};
    ++shared_->workers;
  }
  try {
    std::thread(GuardedThreadEntry([shared = shared_, playback] { Run(shared, playback); })).detach();
  } catch (...) {
    std::lock_guard lock(shared_->mutex);
    --shared_->workers;
    shared_->status.state = PlayState::Idle;
    throw;
  }
  current_ = std::move(playback);
  return current_->generation;
}

void SoundPlayer::Stop() {
  if (current_ == nullptr) return;
  {
    // Under the lock, so that no report of the stopped sound lands after this.
    std::lock_guard lock(shared_->mutex);
    current_->stopRequested = true;
    if (shared_->status.state == PlayState::Playing) shared_->status.state = PlayState::Idle;
  }
  current_->wake->Set();
  current_.reset();
}

bool SoundPlayer::IsPlaying() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->status.state == PlayState::Playing;
}

PlayStatus SoundPlayer::Status() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->status;
}

bool SoundPlayer::WaitUntilIdle(DWORD timeoutMs) const {
  std::unique_lock lock(shared_->mutex);
  return shared_->workersDone.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                       [this] { return shared_->workers == 0; });
}

void SoundPlayer::Report(Shared& shared, const Playback& playback, const std::function<void(PlayStatus&)>& change) {
  HWND window = nullptr;
  UINT message = 0;
  {
    std::lock_guard lock(shared.mutex);
    if (shared.status.generation != playback.generation || playback.stopRequested) return;
    change(shared.status);
    window = shared.notifyWindow;
    message = shared.notifyMessage;
  }
  if (window != nullptr) PostMessageW(window, message, playback.generation, 0);
}

// The worker's entry. Running out of memory for a file or its samples is a refusal of that
// sound, not the end of the program.
void SoundPlayer::Run(std::shared_ptr<Shared> shared, std::shared_ptr<Playback> playback) {
  try {
    ReadDecodeAndPlay(*shared, playback);
  } catch (const std::bad_alloc&) {
    Report(*shared, *playback, [](PlayStatus& status) {
      status.state = PlayState::Failed;
      status.failure = PlayFailure::OutOfMemory;
    });
  }
  std::lock_guard lock(shared->mutex);
  --shared->workers;
  shared->workersDone.notify_all();
}

void SoundPlayer::ReadDecodeAndPlay(Shared& shared, const std::shared_ptr<Playback>& playback) {
  const auto fail = [&](PlayFailure failure, auto&& detail) {
    Report(shared, *playback, [&](PlayStatus& status) {
      status.state = PlayState::Failed;
      status.failure = failure;
      detail(status);
    });
  };
  if (!playback->wake->Valid()) throw std::bad_alloc();
  FileBytes file = ReadWholeFile(playback->path, MaxFileBytes, playback->stopRequested);
  if (playback->stopRequested) return;
  if (file.error != ERROR_SUCCESS) return fail(PlayFailure::CannotRead, [&](PlayStatus& s) { s.systemError = file.error; });
  SoundDecodeLimits limits;
  limits.stopRequested = &playback->stopRequested;
  DecodedSound sound = file.tooLarge ? RefusedSound(SoundRefusal::TooLong) : DecodeSound(file.bytes, limits);
  file = FileBytes{};  // the samples are what plays; the file's bytes are not needed while it does
  if (playback->stopRequested) return;
  if (!sound) return fail(PlayFailure::Refused, [&](PlayStatus& s) { s.refusal = sound.refusal; });

  auto feed = std::make_unique<WaveFeed>(playback->makeOutput(), playback->wake);
  const std::size_t bufferSamples = std::max<std::size_t>(1, sound.sampleRate / BuffersPerSecond) * sound.channels;
  const WaveResult opened = feed->Open({sound.channels, sound.sampleRate}, bufferSamples, BufferCount);
  if (opened != WaveOk) {
    const PlayFailure failure = IsMissingDevice(opened) ? PlayFailure::NoDevice : PlayFailure::DeviceError;
    return fail(failure, [&](PlayStatus& s) { s.deviceError = opened; });
  }
  Report(shared, *playback, [&](PlayStatus& status) { status.durationMs = sound.DurationMs(); });
  const WaveFeed::Ending ending = feed->Play(SamplesThenSilence(sound), playback->stopRequested, 1000 / BuffersPerSecond);
  const WaveResult error = ending == WaveFeed::Ending::WriteFailed ? feed->Error() : MMSYSERR_ERROR;
  if (feed->Holding()) {
    // The device kept buffers it was told to hand back: it may still write to them and set the
    // signal, so they stay, with the device, for the rest of the process. The samples are
    // copied into the feed's own buffers and may go.
    WaveFeed::KeepForever(std::move(feed));
  }
  if (ending == WaveFeed::Ending::WriteFailed || ending == WaveFeed::Ending::DeviceStuck) {
    return fail(PlayFailure::DeviceError, [&](PlayStatus& s) { s.deviceError = error; });
  }
  Report(shared, *playback, [](PlayStatus& status) { status.state = PlayState::Finished; });
}
