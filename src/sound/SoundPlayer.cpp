#include "sound/SoundPlayer.h"

#include <array>
#include <vector>

#include "sound/WaveOutDevice.h"
#include "win/ThreadGuard.h"

namespace {

// A tenth of a second per buffer and four in flight: short enough that Stop is heard at once,
// long enough that a busy machine does not starve the device.
constexpr std::size_t BufferCount = 4;
constexpr std::uint32_t BuffersPerSecond = 10;
// A device that never hands its buffers back after a reset must not hold the program.
constexpr DWORD ResetWaitMs = 2000;

struct FileBytes {
  std::vector<std::byte> bytes;
  DWORD error = ERROR_SUCCESS;
  bool tooLarge = false;
};

FileBytes ReadWholeFile(const std::wstring& path, std::uint64_t maxBytes) {
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
    file.bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(handle, file.bytes.data(), static_cast<DWORD>(file.bytes.size()), &read, nullptr)) {
      file.error = GetLastError();
    }
    file.bytes.resize(read);
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
      wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

SoundPlayer::~SoundPlayer() {
  Stop();
  if (wake_ != nullptr) CloseHandle(wake_);
}

void SoundPlayer::SetNotifyWindow(HWND window, UINT message) {
  notifyWindow_ = window;
  notifyMessage_ = message;
}

unsigned SoundPlayer::Play(const std::wstring& path) {
  Stop();
  unsigned generation = 0;
  {
    std::lock_guard lock(mutex_);
    generation = status_.generation + 1;
    status_ = PlayStatus{generation, PlayState::Playing, path};
  }
  stopRequested_ = false;
  ResetEvent(wake_);
  worker_ = std::thread(GuardedThreadEntry([this, path, generation] { Run(path, generation); }));
  return generation;
}

void SoundPlayer::Stop() {
  if (!worker_.joinable()) return;
  stopRequested_ = true;
  SetEvent(wake_);
  worker_.join();
  std::lock_guard lock(mutex_);
  if (status_.state == PlayState::Playing) status_.state = PlayState::Idle;
}

bool SoundPlayer::IsPlaying() const {
  std::lock_guard lock(mutex_);
  return status_.state == PlayState::Playing;
}

PlayStatus SoundPlayer::Status() const {
  std::lock_guard lock(mutex_);
  return status_;
}

void SoundPlayer::Report(unsigned generation, const std::function<void(PlayStatus&)>& change) {
  {
    std::lock_guard lock(mutex_);
    if (status_.generation != generation) return;
    change(status_);
  }
  if (notifyWindow_ != nullptr) PostMessageW(notifyWindow_, notifyMessage_, generation, 0);
}

void SoundPlayer::Run(std::wstring path, unsigned generation) {
  const FileBytes file = ReadWholeFile(path, MaxFileBytes);
  const auto fail = [&](PlayFailure failure, auto&& detail) {
    Report(generation, [&](PlayStatus& status) {
      status.state = PlayState::Failed;
      status.failure = failure;
      detail(status);
    });
  };
  if (file.error != ERROR_SUCCESS) return fail(PlayFailure::CannotRead, [&](PlayStatus& s) { s.systemError = file.error; });
  const DecodedSound sound =
      file.tooLarge ? RefusedSound(SoundRefusal::TooLong) : DecodeSound(file.bytes);
  if (!sound) return fail(PlayFailure::Refused, [&](PlayStatus& s) { s.refusal = sound.refusal; });
  if (stopRequested_) return;

  std::unique_ptr<WaveOutput> output = makeOutput_();
  const MMRESULT opened = output->Open(FormatOf(sound), wake_);
  if (opened != MMSYSERR_NOERROR) {
    const PlayFailure failure = IsMissingDevice(opened) ? PlayFailure::NoDevice : PlayFailure::DeviceError;
    return fail(failure, [&](PlayStatus& s) { s.deviceError = opened; });
  }
  Report(generation, [&](PlayStatus& status) { status.durationMs = sound.DurationMs(); });
  Feed(sound, *output);
  output->Close();
  if (!stopRequested_) Report(generation, [](PlayStatus& status) { status.state = PlayState::Finished; });
}

// Keeps up to BufferCount buffers queued, each pointing straight into the decoded samples, and
// refills each one as the device hands it back.
void SoundPlayer::Feed(const DecodedSound& sound, WaveOutput& output) {
  std::array<WAVEHDR, BufferCount> buffers{};
  std::array<bool, BufferCount> queued{};
  const std::size_t chunk = std::max<std::size_t>(1, sound.sampleRate / BuffersPerSecond) * sound.channels;
  std::size_t next = 0;
  const auto queue = [&](std::size_t index) {
    const std::size_t count = std::min(chunk, sound.samples.size() - next);
    WAVEHDR& buffer = buffers[index];
    buffer.lpData = reinterpret_cast<LPSTR>(const_cast<std::int16_t*>(sound.samples.data() + next));
    buffer.dwBufferLength = static_cast<DWORD>(count * sizeof(std::int16_t));
    buffer.dwFlags &= WHDR_PREPARED;
    queued[index] = output.Write(buffer) == MMSYSERR_NOERROR;
    next += count;
  };
  const auto anyQueued = [&] { return std::find(queued.begin(), queued.end(), true) != queued.end(); };
  for (std::size_t index = 0; index < BufferCount && next < sound.samples.size(); ++index) queue(index);
  while (anyQueued() && !stopRequested_) {
    WaitForSingleObject(wake_, INFINITE);
    for (std::size_t index = 0; index < BufferCount; ++index) {
      if (!queued[index] || !(buffers[index].dwFlags & WHDR_DONE)) continue;
      queued[index] = false;
      if (next < sound.samples.size() && !stopRequested_) queue(index);
    }
  }
  if (!anyQueued()) return;
  output.Reset();
  const DWORD start = GetTickCount();
  for (;;) {
    bool waiting = false;
    for (std::size_t index = 0; index < BufferCount; ++index) {
      waiting = waiting || (queued[index] && !(buffers[index].dwFlags & WHDR_DONE));
    }
    if (!waiting || GetTickCount() - start > ResetWaitMs) return;
    WaitForSingleObject(wake_, 50);
  }
}
