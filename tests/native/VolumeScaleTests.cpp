#include <gtest/gtest.h>

#include <vector>

#include "ambience/VolumeScale.h"

TEST(VolumeScale, GuessesTheConventionOfAList) {
  EXPECT_EQ(GuessVolumeScale(std::vector<std::int32_t>{-2000, 0, -10000}), VolumeScale::Centibels);
  // All zero fits every scale; silence at 0 dB would be full volume, so the order decides.
  EXPECT_EQ(GuessVolumeScale(std::vector<std::int32_t>{0, 0}), VolumeScale::Centibels);
  EXPECT_EQ(GuessVolumeScale(std::vector<std::int32_t>{0, 50, 100}), VolumeScale::Percent);
  EXPECT_EQ(GuessVolumeScale(std::vector<std::int32_t>{10, 101}), VolumeScale::Byte);
  EXPECT_EQ(GuessVolumeScale(std::vector<std::int32_t>{-5, 50}), VolumeScale::Byte);
  EXPECT_EQ(GuessVolumeScale({}), VolumeScale::Percent);
  // Mostly silence with one percent is percent: a list that fits one scale whole keeps it.
  EXPECT_EQ(GuessVolumeScale(std::vector<std::int32_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 50}), VolumeScale::Percent);
  EXPECT_EQ(GuessVolumeScale(std::vector<std::int32_t>{30, 200, 64, 255, 90, 128, 10, 100, 20, 40}), VolumeScale::Byte);
  EXPECT_EQ(GuessVolumeScale(std::vector<std::int32_t>{-20000, -500}), VolumeScale::Centibels);
}

// One typo does not swing the list: nine decibel volumes and one 100, nine percents and one 101.
TEST(VolumeScale, AnOutlierIsOutvotedByTheRestOfTheList) {
  const std::vector<std::int32_t> decibels = {-600, -1200, -300, 0, -2500, -800, -100, -4000, -1500, 100};
  EXPECT_EQ(GuessVolumeScale(decibels), VolumeScale::Centibels);
  const std::vector<std::int32_t> percents = {10, 20, 30, 40, 50, 60, 70, 80, 90, 101};
  EXPECT_EQ(GuessVolumeScale(percents), VolumeScale::Percent);
  // Two in ten beyond percent are no longer typos but the list's own range.
  EXPECT_EQ(GuessVolumeScale(std::vector<std::int32_t>{10, 20, 30, 40, 50, 60, 70, 80, 150, 101}), VolumeScale::Byte);
  // Decibels with a stray value far beyond any scale: still decibels.
  EXPECT_EQ(GuessVolumeScale(std::vector<std::int32_t>{-600, -1200, -300, -2500, -800, -100, 9999}),
            VolumeScale::Centibels);
}

TEST(VolumeScale, MapsToLinearGainAndClampsBeyondTheScale) {
  EXPECT_DOUBLE_EQ(VolumeGain(100, VolumeScale::Percent), 1.0);
  EXPECT_DOUBLE_EQ(VolumeGain(50, VolumeScale::Percent), 0.5);
  EXPECT_DOUBLE_EQ(VolumeGain(250, VolumeScale::Percent), 1.0);
  EXPECT_DOUBLE_EQ(VolumeGain(-3, VolumeScale::Percent), 0.0);
  EXPECT_DOUBLE_EQ(VolumeGain(0, VolumeScale::Centibels), 1.0);
  EXPECT_NEAR(VolumeGain(-2000, VolumeScale::Centibels), 0.1, 1e-12);
  EXPECT_NEAR(VolumeGain(-600, VolumeScale::Centibels), 0.501, 1e-3);
  EXPECT_NEAR(VolumeGain(-20000, VolumeScale::Centibels), 1e-5, 1e-12);
  EXPECT_DOUBLE_EQ(VolumeGain(500, VolumeScale::Centibels), 1.0);
  EXPECT_DOUBLE_EQ(VolumeGain(255, VolumeScale::Byte), 1.0);
  EXPECT_DOUBLE_EQ(VolumeGain(300, VolumeScale::Byte), 1.0);
  EXPECT_FALSE(VolumeInScale(101, VolumeScale::Percent));
  EXPECT_TRUE(VolumeInScale(-10000, VolumeScale::Centibels));
  EXPECT_FALSE(VolumeInScale(1, VolumeScale::Centibels));
}
