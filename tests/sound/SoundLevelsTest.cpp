#include "sound/SoundLevels.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tovrik::sound;

TEST(SoundLevelsTest, VolumeLawInHundredthsOfADecibel) {
  struct Case {
    int volume;
    long master;
    long expected;
  };
  const Case cases[] = {
      {100, 100, 0},      {50, 100, -5000},   {0, 100, -10000},  {-7, 100, -10000},
      {150, 100, 0},      {100, 50, -5000},   {80, 100, -2000},  {1, 100, -9900},
      {100, 0, -10000},   {100, 250, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(VolumeToAttenuation(c.volume, c.master), c.expected) << c.volume << " at master " << c.master;
}

TEST(SoundLevelsTest, DecibelsBecomeLinearGain) {
  EXPECT_FLOAT_EQ(AttenuationToGain(0), 1.0f);
  EXPECT_FLOAT_EQ(AttenuationToGain(-2000), 0.1f);   // −20 dB
  EXPECT_NEAR(AttenuationToGain(-5000), 0.0031623f, 1e-6);  // −50 dB, still audible
  EXPECT_FLOAT_EQ(AttenuationToGain(-600), 0.5011872f);
  EXPECT_EQ(AttenuationToGain(-10000), 0.0f);
  EXPECT_EQ(AttenuationToGain(-20000), 0.0f);
}

TEST(SoundLevelsTest, PanAttenuatesTheOtherSide) {
  EXPECT_EQ(PanToHundredthsDb(150), 10000);
  EXPECT_EQ(PanToHundredthsDb(-30), -3000);
  const StereoGain right = CombineVolumeAndPan(0, PanToHundredthsDb(20));
  EXPECT_FLOAT_EQ(right.left, 0.1f);
  EXPECT_FLOAT_EQ(right.right, 1.0f);
  const StereoGain hardLeft = CombineVolumeAndPan(-2000, PanToHundredthsDb(-100));
  EXPECT_FLOAT_EQ(hardLeft.left, 0.1f);
  EXPECT_EQ(hardLeft.right, 0.0f);
}

TEST(SoundLevelsTest, GainScalesInterleavedFramesAndSaturates) {
  std::vector<int16_t> frames{1000, 1000, -32768, 32767, 3, -3};
  ApplyStereoGain(frames, {0.5f, 2.0f});
  EXPECT_EQ(frames, (std::vector<int16_t>{500, 2000, -16384, 32767, 2, -6}));
  std::vector<int16_t> silent{1234, -1234};
  ApplyStereoGain(silent, {0.0f, 0.0f});
  EXPECT_EQ(silent, (std::vector<int16_t>{0, 0}));
}
