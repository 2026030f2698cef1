// The preview's player with its real feeding code, played into a stand-in that keeps waveOut's
// rules: Stop, a stop from another thread (Escape), a restart (another time of day), a device
// that fails a write half-way and one that never hands its buffers back.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "StrictWaveDevice.h"
#include "preview/AmbiencePlayer.h"

namespace {

using namespace std::chrono_literals;

std::unique_ptr<AmbienceStream> SilentStream() {
  return std::make_unique<AmbienceStream>(TimeOfDay::Day, VolumeScale::Percent, 1);
}

class AmbiencePlayerTest : public testing::Test {
 protected:
  AmbiencePlayer::OutputFactory Devices() {
    return [this] {
      logs_.push_back(std::make_shared<strict_wave::Log>());
      logs_.back()->failWrite = failWrite_;
      logs_.back()->keepBuffers = keepBuffers_;
      return std::make_unique<strict_wave::Device>(logs_.back());
    };
  }

  static bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit = 5s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(2ms);
    return condition();
  }
  static int Writes(strict_wave::Log& log) {
    std::lock_guard lock(log.mutex);
    return log.writes;
  }
  static int Closes(strict_wave::Log& log) {
    std::lock_guard lock(log.mutex);
    return log.closes;
  }

  // A device let go of as the rules want it: every buffer back, every prepare undone, closed.
  static void ExpectReleasedCleanly(strict_wave::Log& log) {
    std::lock_guard lock(log.mutex);
    EXPECT_TRUE(log.broken.empty()) << log.broken.front();
    EXPECT_EQ(log.closes, 1);
    EXPECT_EQ(log.prepares, log.unprepares);
    EXPECT_EQ(log.prepares, AmbiencePlayer::QueuedBlocks) << "each buffer is prepared once";
  }

  int failWrite_ = 0;
  bool keepBuffers_ = false;
  std::vector<std::shared_ptr<strict_wave::Log>> logs_;
};

TEST_F(AmbiencePlayerTest, StopEscapeAndRestartLetTheDeviceGoByItsRules) {
  AmbiencePlayer player(Devices());
  ASSERT_TRUE(player.Start(SilentStream()));
  ASSERT_TRUE(WaitFor([&] { return Writes(*logs_[0]) >= 12; })) << "the device is refilled as it plays";
  EXPECT_GT(player.HeardFrame(), 0);

  // Another time of day: the first preview stops while the second starts on a device of its own.
  ASSERT_TRUE(player.Start(SilentStream()));
  ASSERT_TRUE(WaitFor([&] { return Closes(*logs_[0]) == 1 && Writes(*logs_[1]) >= 8; }));
  ExpectReleasedCleanly(*logs_[0]);

  // Escape: the interface thread stops it while the worker mixes.
  std::thread([&] { player.Stop(); }).join();
  ASSERT_TRUE(WaitFor([&] { return Closes(*logs_[1]) == 1; }));
  ExpectReleasedCleanly(*logs_[1]);
  EXPECT_FALSE(player.IsPlaying());
  EXPECT_FALSE(player.TakeFault()) << "a stop is no fault";

  // Stop at once after the start, before the first buffer came back.
  ASSERT_TRUE(player.Start(SilentStream()));
  player.Stop();
  ASSERT_TRUE(WaitFor([&] { return Closes(*logs_[2]) == 1; }));
  ExpectReleasedCleanly(*logs_[2]);
}

TEST_F(AmbiencePlayerTest, AWriteRefusedHalfWayEndsThePreviewWithTheDevicesReason) {
  failWrite_ = 7;
  AmbiencePlayer player(Devices());
  ASSERT_TRUE(player.Start(SilentStream()));
  ASSERT_TRUE(WaitFor([&] { return !player.IsPlaying(); }));
  ExpectReleasedCleanly(*logs_[0]);
  std::lock_guard lock(logs_[0]->mutex);
  EXPECT_EQ(logs_[0]->resets, 1) << "the blocks still queued are taken back";
  const std::optional<AmbiencePlayer::Fault> fault = player.TakeFault();
  ASSERT_TRUE(fault);
  EXPECT_EQ(fault->ending, WaveFeed::Ending::WriteFailed);
  EXPECT_EQ(fault->error, strict_wave::NoMemory);
  EXPECT_FALSE(player.TakeFault()) << "told once";
}

// A device that keeps its buffers, even after a reset, is given up on after a bounded wait,
// whether the preview is stopped or plays on; what it holds is never unprepared, closed on or
// freed.
TEST_F(AmbiencePlayerTest, ADeviceThatNeverHandsItsBuffersBackEndsThePreviewInBoundedTime) {
  keepBuffers_ = true;
  AmbiencePlayer player(Devices());
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(player.Start(SilentStream()));
  ASSERT_TRUE(WaitFor([&] { return !player.IsPlaying(); }, 10s));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 8s)
      << "two bounded waits of " << WaveFeed::StuckMs << " ms";
  const std::optional<AmbiencePlayer::Fault> fault = player.TakeFault();
  ASSERT_TRUE(fault);
  EXPECT_EQ(fault->ending, WaveFeed::Ending::DeviceStuck);

  ASSERT_TRUE(player.Start(SilentStream()));
  ASSERT_TRUE(WaitFor([&] { return Writes(*logs_[1]) >= 4; }));
  player.Stop();
  std::this_thread::sleep_for(std::chrono::milliseconds(WaveFeed::StuckMs + 500));
  for (const auto& log : logs_) {
    std::lock_guard lock(log->mutex);
    EXPECT_TRUE(log->broken.empty()) << log->broken.front();
    EXPECT_EQ(log->resets, 1);
    EXPECT_EQ(log->closes, 0);
    EXPECT_EQ(log->unprepares, 0);
    EXPECT_FALSE(log->destroyed);
  }
}

}  // namespace
