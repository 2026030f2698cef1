#include "preview/AmbiencePlayer.h"

#include <array>

#include "ambience/AmbienceFormat.h"
#include "sound/WaveOutDevice.h"

namespace {

constexpr std::size_t kBlockFrames = AmbienceRate * AmbiencePlayer::BlockMs / 1000;

WAVEFORMATEX AmbienceFormat() {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = AmbienceChannels;
  format.nSamplesPerSec = AmbienceRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = static_cast<WORD>(format.nChannels * format.wBitsPerSample / 8);
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  return format;
}

struct Block {
  std::vector<std::int16_t> samples = std::vector<std::int16_t>(kBlockFrames * AmbienceChannels);
  WAVEHDR header{};
  bool queued = false;
};

}  // namespace

AmbiencePlayer::AmbiencePlayer(OutputFactory makeOutput)
    : makeOutput_(makeOutput ? std::move(makeOutput) : [] { return std::make_unique<WaveOutDevice>(); }) {}

AmbiencePlayer::~AmbiencePlayer() { Stop(); }

bool AmbiencePlayer::Start(std::unique_ptr<AmbienceStream> stream) {
  Stop();
  auto playback = std::make_shared<Playback>();
  playback->stream = std::move(stream);
  std::unique_ptr<WaveOutput> output = makeOutput_();
  // The device is opened here, so that a refusal is told at once; the worker feeds and closes it.
  HANDLE bufferDone = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  lastError_ = bufferDone == nullptr ? MMSYSERR_NOMEM : output->Open(AmbienceFormat(), bufferDone);
  if (lastError_ != MMSYSERR_NOERROR) {
    if (bufferDone != nullptr) CloseHandle(bufferDone);
    return false;
  }
  playing_ = playback;
  std::thread(Run, std::move(playback), std::move(output), bufferDone).detach();
  return true;
}

void AmbiencePlayer::Stop() {
  if (playing_) playing_->stop = true;
  playing_.reset();
}

void AmbiencePlayer::Change(const std::function<void(AmbienceStream&)>& change) {
  if (!playing_) return;
  const std::lock_guard guard(playing_->lock);
  change(*playing_->stream);
}

std::int64_t AmbiencePlayer::HeardFrame() const { return playing_ ? playing_->heard.load() : -1; }

std::vector<int> AmbiencePlayer::SoundingEntries() const {
  if (!playing_) return {};
  const std::lock_guard guard(playing_->lock);
  return playing_->sounding;
}

// The worker owns the device and the buffers; the player may be gone before it ends, which is
// why everything it shares lives in `playback`. Nothing may leave a thread's entry.
void AmbiencePlayer::Run(std::shared_ptr<Playback> playback, std::unique_ptr<WaveOutput> output, HANDLE bufferDone) {
  try {
    Feed(*playback, *output, bufferDone);
  } catch (...) {
    // No memory for the blocks themselves: nothing was queued; the editor goes on.
  }
  output->Close();
  CloseHandle(bufferDone);
  playback->running = false;
}

// A block that cannot be mixed (no memory) ends the preview; the queued blocks still come back.
bool AmbiencePlayer::RenderBlock(Playback& playback, std::span<std::int16_t> samples) {
  try {
    const std::lock_guard guard(playback.lock);
    playback.stream->Render(samples);
    playback.sounding = playback.stream->SoundingEntries();
    return true;
  } catch (...) {
    playback.stop = true;
    return false;
  }
}

void AmbiencePlayer::Feed(Playback& playback, WaveOutput& output, HANDLE bufferDone) {
  std::array<Block, QueuedBlocks> blocks;
  std::int64_t written = 0;
  const auto queuedFrames = [&] {
    std::int64_t frames = 0;
    for (const Block& block : blocks) frames += block.queued ? static_cast<std::int64_t>(kBlockFrames) : 0;
    return frames;
  };
  while (!playback.stop) {
    for (Block& block : blocks) {
      if (block.queued && (block.header.dwFlags & WHDR_DONE) == 0) continue;
      block.queued = false;
      if (!RenderBlock(playback, block.samples)) break;
      block.header = WAVEHDR{};
      block.header.lpData = reinterpret_cast<LPSTR>(block.samples.data());
      block.header.dwBufferLength = static_cast<DWORD>(block.samples.size() * sizeof(std::int16_t));
      if (output.Write(block.header) != MMSYSERR_NOERROR) return;
      block.queued = true;
      written += static_cast<std::int64_t>(kBlockFrames);
    }
    playback.heard = written - queuedFrames();
    WaitForSingleObject(bufferDone, BlockMs);
  }
  // Every buffer comes back before the device closes and the buffers go.
  output.Reset();
  for (const Block& block : blocks) {
    while (block.queued && (block.header.dwFlags & WHDR_DONE) == 0) WaitForSingleObject(bufferDone, BlockMs);
  }
}
