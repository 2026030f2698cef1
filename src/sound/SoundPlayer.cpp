#include "sound/SoundPlayer.h"

#include <chrono>
#include <condition_variable>
#include <new>
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
  HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);  // the device's buffer-done event, also set by Stop

  Playback() = default;
  Playback(const Playback&) = delete;
  Playback& operator=(const Playback&) = delete;
  ~Playback() {
    if (wake != nullptr) CloseHandle(wake);
  }
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

WAVEFORMATEX FormatOf(const DecodedSound& sound) {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = sound.channels;
  format.nSamplesPerSec = sound.sampleRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = static_cast<WORD>(sound.channels * 2);
  format.nAvgBytesPerSec = sound.sampleRate * format.nBlockAlign;
  return format;
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
  SetEvent(current_->wake);
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
  if (playback->wake == nullptr) throw std::bad_alloc();
  FileBytes file = ReadWholeFile(playback->path, MaxFileBytes, playback->stopRequested);
  if (playback->stopRequested) return;
  if (file.error != ERROR_SUCCESS) return fail(PlayFailure::CannotRead, [&](PlayStatus& s) { s.systemError = file.error; });
  SoundDecodeLimits limits;
  limits.stopRequested = &playback->stopRequested;
  DecodedSound sound = file.tooLarge ? RefusedSound(SoundRefusal::TooLong) : DecodeSound(file.bytes, limits);
  file = FileBytes{};  // the samples are what plays; the file's bytes are not needed while it does
  if (playback->stopRequested) return;
  if (!sound) return fail(PlayFailure::Refused, [&](PlayStatus& s) { s.refusal = sound.refusal; });

  std::unique_ptr<WaveOutput> output = playback->makeOutput();
  const MMRESULT opened = output->Open(FormatOf(sound), playback->wake);
  if (opened != MMSYSERR_NOERROR) {
    const PlayFailure failure = IsMissingDevice(opened) ? PlayFailure::NoDevice : PlayFailure::DeviceError;
    return fail(failure, [&](PlayStatus& s) { s.deviceError = opened; });
  }
  Report(shared, *playback, [&](PlayStatus& status) { status.durationMs = sound.DurationMs(); });
  auto feed = std::make_unique<WaveFeed>(std::move(output), std::move(sound), playback->wake, playback->stopRequested);
  if (!feed->Play()) {
    // The device kept buffers it was told to hand back: it may still write their flags and set
    // the event, so the buffers, the samples, the device and the event stay for the rest of the
    // process. Freeing them would let a driver write into memory that is used for something else.
    static_cast<void>(feed.release());
    static_cast<void>(new std::shared_ptr<Playback>(playback));
    return;
  }
  Report(shared, *playback, [](PlayStatus& status) { status.state = PlayState::Finished; });
}
