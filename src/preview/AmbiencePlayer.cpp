#include "preview/AmbiencePlayer.h"

#include <thread>
#include <utility>

#include "ambience/AmbienceFormat.h"
#ifdef _WIN32
#include "sound/WaveOutDevice.h"
#endif

namespace {

constexpr std::size_t kBlockFrames = AmbienceRate * AmbiencePlayer::BlockMs / 1000;
// waveOut's own code for want of memory, so that every refusal reads the same.
constexpr WaveResult kNoMemory = 7;

AmbiencePlayer::OutputFactory SystemOutput() {
#ifdef _WIN32
  return [] { return std::make_unique<WaveOutDevice>(); };
#else
  return nullptr;
#endif
}

}  // namespace

AmbiencePlayer::AmbiencePlayer(OutputFactory makeOutput)
    : makeOutput_(makeOutput ? std::move(makeOutput) : SystemOutput()) {}

AmbiencePlayer::~AmbiencePlayer() { Stop(); }

bool AmbiencePlayer::Start(std::unique_ptr<AmbienceStream> stream) {
  Stop();
  auto playback = std::make_shared<Playback>();
  playback->stream = std::move(stream);
  // The device is opened here, so that a refusal is told at once; the worker feeds and closes it.
  auto feed = std::make_unique<WaveFeed>(makeOutput_(), playback->wake);
  lastError_ = !playback->wake->Valid() ? kNoMemory
                                        : feed->Open({AmbienceChannels, AmbienceRate},
                                                     kBlockFrames * AmbienceChannels, QueuedBlocks);
  if (lastError_ != WaveOk) return false;
  playing_ = playback;
  std::thread(Run, std::move(playback), std::move(feed)).detach();
  return true;
}

void AmbiencePlayer::Stop() {
  if (!playing_) return;
  playing_->stop = true;
  playing_->wake->Set();
  playing_.reset();
}

std::optional<AmbiencePlayer::Fault> AmbiencePlayer::TakeFault() {
  if (!playing_ || playing_->running) return std::nullopt;
  const std::lock_guard guard(playing_->lock);
  return std::exchange(playing_->fault, std::nullopt);
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

// The worker owns the feed (the device and its buffers); the player may be gone before it ends,
// which is why everything it shares lives in `playback`.
void AmbiencePlayer::Run(std::shared_ptr<Playback> playback, std::unique_ptr<WaveFeed> feed) {
  std::int64_t written = 0;
  const auto fill = [&](std::span<std::int16_t> samples) {
    const std::size_t count = RenderBlock(*playback, samples);
    written += static_cast<std::int64_t>(count / AmbienceChannels);
    return count;
  };
  const auto progress = [&](std::size_t queued) {
    playback->heard = written - static_cast<std::int64_t>(queued / AmbienceChannels);
  };
  const WaveFeed::Ending ending = feed->Play(fill, playback->stop, BlockMs, progress);
  {
    const std::lock_guard guard(playback->lock);
    if (ending == WaveFeed::Ending::WriteFailed || ending == WaveFeed::Ending::DeviceStuck)
      playback->fault = Fault{ending, feed->Error()};
  }
  if (feed->Holding()) WaveFeed::KeepForever(std::move(feed));
  feed.reset();
  playback->running = false;
}

// A block that cannot be mixed (no memory) ends the preview; the queued blocks still come back.
std::size_t AmbiencePlayer::RenderBlock(Playback& playback, std::span<std::int16_t> samples) {
  try {
    const std::lock_guard guard(playback.lock);
    playback.stream->Render(samples);
    playback.sounding = playback.stream->SoundingEntries();
    return samples.size();
  } catch (...) {
    return 0;
  }
}
