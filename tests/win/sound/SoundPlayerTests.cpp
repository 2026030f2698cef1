// The player through its output seam: what reaches the device, in what order, and what is left
// when it stops, when there is no device, or when the device or the memory fail it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "sound/SoundPlayer.h"

namespace {

// What the stand-in device saw; shared with the test, since the player owns the device.
struct DeviceLog {
  std::mutex mutex;
  WaveResult openResult = WaveOk;
  bool holdBuffers = false;  // keep buffers until Reset, as a device in mid-sound does
  bool keepBuffersOnReset = false;  // a device that never hands them back
  HANDLE openGate = nullptr;  // when set, Open waits for it, as a slow read or decode would
  bool opening = false;
  WaveFormat format{};
  std::vector<std::int16_t> played;
  int opens = 0, writes = 0, returned = 0, resets = 0, closes = 0;
  bool writtenAfterClose = false, closedWithBuffersOut = false, destroyedWithBuffersOut = false;
};

class FakeOutput : public WaveOutput {
 public:
  explicit FakeOutput(std::shared_ptr<DeviceLog> log) : log_(std::move(log)) {}
  ~FakeOutput() override {
    std::lock_guard lock(log_->mutex);
    log_->destroyedWithBuffersOut = log_->destroyedWithBuffersOut || !held_.empty();
  }

  WaveResult Open(const WaveFormat& format, WaveSignal& bufferDone) override {
    if (log_->openGate != nullptr) {
      log_->mutex.lock();
      log_->opening = true;
      log_->mutex.unlock();
      WaitForSingleObject(log_->openGate, INFINITE);
    }
    std::lock_guard lock(log_->mutex);
    ++log_->opens;
    log_->format = format;
    done_ = &bufferDone;
    return log_->openResult;
  }
  WaveResult Prepare(WaveBuffer&) override { return WaveOk; }
  WaveResult Write(WaveBuffer& buffer) override {
    std::lock_guard lock(log_->mutex);
    log_->writtenAfterClose = log_->writtenAfterClose || closed_;
    ++log_->writes;
    log_->played.insert(log_->played.end(), buffer.samples, buffer.samples + buffer.count);
    returned_.erase(&buffer);
    held_.push_back(&buffer);
    if (!log_->holdBuffers) ReturnAll();
    return WaveOk;
  }
  bool Done(const WaveBuffer& buffer) const override {
    std::lock_guard lock(log_->mutex);
    return returned_.contains(&buffer);
  }
  WaveResult Unprepare(WaveBuffer&) override { return WaveOk; }
  void Reset() override {
    std::lock_guard lock(log_->mutex);
    ++log_->resets;
    if (!log_->keepBuffersOnReset) ReturnAll();
  }
  void Close() override {
    std::lock_guard lock(log_->mutex);
    ++log_->closes;
    log_->closedWithBuffersOut = log_->closedWithBuffersOut || !held_.empty();
    closed_ = true;
  }

 private:
  void ReturnAll() {
    for (WaveBuffer* buffer : held_) returned_.insert(buffer);
    log_->returned += static_cast<int>(held_.size());
    held_.clear();
    done_->Set();
  }

  std::shared_ptr<DeviceLog> log_;
  WaveSignal* done_ = nullptr;
  std::vector<WaveBuffer*> held_;
  std::set<const WaveBuffer*> returned_;
  bool closed_ = false;
};

class SoundPlayerTest : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t folder[MAX_PATH]{};
    GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + L"sonarwick-player-" + std::to_wstring(GetCurrentProcessId()) + L".wav";
    // One second of 8 kHz mono with every sample different, so order and gaps show.
    for (int index = 0; index < 8000; ++index) samples_.push_back(static_cast<std::int16_t>(index * 3 - 12000));
    WriteWave(path_, samples_);
  }
  void TearDown() override { DeleteFileW(path_.c_str()); }

  static void WriteWave(const std::wstring& path, const std::vector<std::int16_t>& samples) {
    const auto put32 = [](std::string& out, std::uint32_t v) { out.append(reinterpret_cast<const char*>(&v), 4); };
    const auto put16 = [](std::string& out, std::uint16_t v) { out.append(reinterpret_cast<const char*>(&v), 2); };
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::string bytes = "RIFF";
    put32(bytes, 36 + dataBytes);
    bytes += "WAVEfmt ";
    put32(bytes, 16);
    put16(bytes, 1), put16(bytes, 1), put32(bytes, 8000), put32(bytes, 16000), put16(bytes, 2), put16(bytes, 16);
    bytes += "data";
    put32(bytes, dataBytes);
    bytes.append(reinterpret_cast<const char*>(samples.data()), dataBytes);
    std::ofstream(std::filesystem::path(path), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  SoundPlayer MakePlayer() {
    return SoundPlayer([log = log_] { return std::make_unique<FakeOutput>(log); });
  }

  // The worker runs on its own; the test waits for it to settle, bounded.
  static PlayStatus WaitWhilePlaying(SoundPlayer& player) {
    for (int tries = 0; tries < 500 && player.IsPlaying(); ++tries) Sleep(10);
    return player.Status();
  }

  void WaitForWrites(int count) { WaitForDevice([&] { return log_->writes >= count; }); }

  void WaitForDevice(const std::function<bool()>& condition) {
    for (int tries = 0; tries < 500; ++tries, Sleep(10)) {
      std::lock_guard lock(log_->mutex);
      if (condition()) return;
    }
  }

  std::shared_ptr<DeviceLog> log_ = std::make_shared<DeviceLog>();
  std::wstring path_;
  std::vector<std::int16_t> samples_;
};

TEST_F(SoundPlayerTest, HandsEveryBufferOverInOrderAndReleasesTheDevice) {
  SoundPlayer player = MakePlayer();
  player.Play(path_);
  const PlayStatus status = WaitWhilePlaying(player);
  EXPECT_EQ(status.state, PlayState::Finished);
  EXPECT_EQ(status.durationMs, 1000u);
  std::lock_guard lock(log_->mutex);
  EXPECT_EQ(log_->format.sampleRate, 8000u);
  EXPECT_EQ(log_->format.channels, 1);
  // The sound, then a fifth of a second of silence: what the device still holds when the last
  // buffer comes back and it is closed is that silence, not the sound's end.
  ASSERT_EQ(log_->played.size(), samples_.size() + 1600);
  EXPECT_TRUE(std::equal(samples_.begin(), samples_.end(), log_->played.begin()));
  EXPECT_TRUE(std::all_of(log_->played.begin() + samples_.size(), log_->played.end(), [](auto s) { return s == 0; }));
  EXPECT_GT(log_->writes, 4);  // refilled, not handed over in one piece
  EXPECT_EQ(log_->closes, 1);
  EXPECT_FALSE(log_->writtenAfterClose);
}

TEST_F(SoundPlayerTest, StopAndANewPlayTakeEveryBufferBackBeforeClosing) {
  log_->holdBuffers = true;
  SoundPlayer player = MakePlayer();
  player.Play(path_);
  WaitForWrites(4);
  const unsigned second = player.Play(path_);  // stops the first
  WaitForDevice([&] { return log_->closes >= 1; });
  {
    std::lock_guard lock(log_->mutex);
    EXPECT_EQ(log_->resets, 1);
    EXPECT_EQ(log_->closes, 1);
    EXPECT_GE(log_->returned, 4);  // the first sound's four, whatever the second has queued since
    EXPECT_FALSE(log_->closedWithBuffersOut);
  }
  WaitForWrites(8);
  player.Stop();
  const PlayStatus status = player.Status();
  ASSERT_TRUE(player.WaitUntilIdle(5000));
  EXPECT_EQ(status.generation, second);
  EXPECT_EQ(status.state, PlayState::Idle);
  std::lock_guard lock(log_->mutex);
  EXPECT_EQ(log_->closes, 2);
  EXPECT_EQ(log_->returned, log_->writes);
  EXPECT_FALSE(log_->closedWithBuffersOut);
  EXPECT_FALSE(log_->writtenAfterClose);
}

TEST_F(SoundPlayerTest, NoDeviceMissingFileAndForeignFileAreReportedWithTheirReason) {
  log_->openResult = MMSYSERR_NODRIVER;
  SoundPlayer player = MakePlayer();
  player.Play(path_);
  PlayStatus status = WaitWhilePlaying(player);
  EXPECT_EQ(status.state, PlayState::Failed);
  EXPECT_EQ(status.failure, PlayFailure::NoDevice);
  EXPECT_EQ(log_->writes, 0);

  player.Play(path_ + L".missing");
  status = WaitWhilePlaying(player);
  EXPECT_EQ(status.failure, PlayFailure::CannotRead);
  EXPECT_EQ(status.systemError, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  std::ofstream(std::filesystem::path(path_), std::ios::binary) << "ID3 not a sound";
  player.Play(path_);
  status = WaitWhilePlaying(player);
  EXPECT_EQ(status.failure, PlayFailure::Refused);
  EXPECT_EQ(status.refusal, SoundRefusal::UnknownFormat);
}

// A worker busy with a slow step (here the device's Open, as a long read or decode would be)
// holds neither Stop nor a new Play (the player's end is a Stop too).
TEST_F(SoundPlayerTest, StopAndPlayNeverWaitForABusyWorker) {
  HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  log_->openGate = gate;
  SoundPlayer player = MakePlayer();
  player.Play(path_);
  WaitForDevice([&] { return log_->opening; });
  auto calls = std::async(std::launch::async, [&] {
    player.Stop();
    player.Play(path_);
    player.Stop();
  });
  const bool returned = calls.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
  SetEvent(gate);
  calls.wait();
  EXPECT_TRUE(returned) << "Stop or Play waited for the worker";
  ASSERT_TRUE(player.WaitUntilIdle(5000));
  std::lock_guard lock(log_->mutex);
  EXPECT_EQ(log_->closes, log_->opens);
  EXPECT_EQ(log_->returned, log_->writes);
  EXPECT_FALSE(log_->closedWithBuffersOut);
  EXPECT_FALSE(player.IsPlaying());
  CloseHandle(gate);
}

// The device's and the memory's failures stay inside the worker: buffers a device keeps after a
// reset are never closed on nor freed, and a sound that does not fit in memory is refused.
TEST_F(SoundPlayerTest, ADeviceThatKeepsItsBuffersAndAFullMemoryDoNotHarmTheProgram) {
  log_->holdBuffers = true;
  log_->keepBuffersOnReset = true;
  SoundPlayer player = MakePlayer();
  player.Play(path_);
  WaitForWrites(4);
  player.Stop();
  ASSERT_TRUE(player.WaitUntilIdle(10000));  // it gives up on them after a while
  {
    std::lock_guard lock(log_->mutex);
    EXPECT_EQ(log_->resets, 1);
    EXPECT_EQ(log_->closes, 0);
    EXPECT_FALSE(log_->destroyedWithBuffersOut);
  }

  SoundPlayer starved([]() -> std::unique_ptr<WaveOutput> { throw std::bad_alloc(); });
  starved.Play(path_);
  const PlayStatus status = WaitWhilePlaying(starved);
  EXPECT_EQ(status.state, PlayState::Failed);
  EXPECT_EQ(status.failure, PlayFailure::OutOfMemory);
}

}  // namespace
