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
