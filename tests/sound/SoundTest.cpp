#include "sound/Sound.h"
#include "sound/SoundDevice.h"

#include "TestWave.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace tovrik::sound;
using namespace tovrik::sound::test;

namespace {

// Headless: the dummy driver opens and plays silently at real-time pace.
// Set here too so that the binary also runs like this outside ctest.
const bool kDummyAudio = [] { return ::setenv("SDL_AUDIODRIVER", "dummy", 0) == 0; }();

// Long enough that nothing finishes while a test looks at it.
const WaveSpec kLong{.channels = 1, .rate = 22050, .bits = 16, .frames = 22050 * 3};

// Each test works in a folder of its own holding a few effects, as the
// client's folder would; the other effects are missing.
class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kDummyAudio);
    root_ = fs::temp_directory_path() / ("tovrik-sound-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    WriteFile(root_ / "Sound" / "hitstone.wav", MakeWave(kLong));
    WriteFile(root_ / "Sound" / "click.wav", MakeWave({.channels = 2, .rate = 44100, .bits = 8, .frames = 44100 * 3}));
    WriteFile(root_ / "Sound" / "fire.wav", MakeWave({.formatTag = 3, .channels = 1, .rate = 48000, .bits = 32, .frames = 48000 * 3}));
    auto broken = MakeWave(kLong);
    broken.resize(broken.size() / 2);
    WriteFile(root_ / "Sound" / "drop.wav", broken);
    previous_ = fs::current_path();
    fs::current_path(root_);
  }
  void TearDown() override {
    sound_.Destroy();
    xSound::Close();
    xSound::SetDeviceName("");
    xSound::SetMasterVolume(100);
    fs::current_path(previous_);
    fs::remove_all(root_);
  }
  const xSoundBuffer& Buffer(int no) { return *sound_.GetBuffer(no); }
  int PlayingCopies(int no) {
    int n = 0;
    for (int i = 0; i < Buffer(no).GetCopies(); ++i) n += Buffer(no).IsPlaying(i);
    return n;
  }

  fs::path root_, previous_;
  CSound sound_;
};

TEST_F(SoundTest, InitRegistersTheEffectTableAndLoadsWhatExists) {
  ASSERT_EQ(sound_.Init(nullptr), 1);
  EXPECT_TRUE(sound_.UsesMixer());
  EXPECT_EQ(sound_.GetSndFile(SND_START), ".\\Sound\\start.wav");
  EXPECT_EQ(sound_.GetSndFile(SND_PCBANG_IN), ".\\Sound\\pcbang_in.wav");
  EXPECT_EQ(sound_.GetSndFile(SND_PCROOM_GREETING), "");
  EXPECT_EQ(sound_.GetMusicFile(1), ".\\Sound\\music02.mid");
  for (int no : {SND_HITSTONE, SND_HITHINGE, SND_DROP}) EXPECT_EQ(sound_.GetSndCopies(no), 3) << no;
  EXPECT_EQ(sound_.GetSndCopies(SND_CLICK), 1);

  EXPECT_EQ(Buffer(SND_HITSTONE).GetCopies(), 3);
  EXPECT_TRUE(Buffer(SND_CLICK).HasBuffers());
  EXPECT_TRUE(Buffer(SND_FIRE).HasBuffers()) << "float samples are converted";
  EXPECT_FALSE(Buffer(SND_DROP).HasBuffers()) << "a truncated file is refused";
  EXPECT_FALSE(Buffer(SND_WIN).HasBuffers()) << "a missing file leaves the slot empty";
}

TEST_F(SoundTest, BrokenOrMissingEffectIsSilentAndTheOthersPlay) {
  ASSERT_EQ(sound_.Init(nullptr), 1);
  EXPECT_EQ(sound_.Play(SND_DROP), 0);
  EXPECT_EQ(sound_.Play(SND_WIN), 0);
  EXPECT_EQ(sound_.Stop(SND_DROP), 0);
  EXPECT_EQ(sound_.Play(SND_CLICK), 1);
  EXPECT_EQ(sound_.Play(SND_HITSTONE), 1);
  EXPECT_EQ(PlayingCopies(SND_CLICK), 1);
  EXPECT_EQ(PlayingCopies(SND_HITSTONE), 1);
}

TEST_F(SoundTest, ThreeCollisionsUseThreeCopiesAndAFourthRestartsTheFirst) {
  ASSERT_EQ(sound_.Init(nullptr), 1);
  for (int expectedCopy : {0, 1, 2}) {
    ASSERT_EQ(sound_.Play(SND_HITSTONE), 1);
    EXPECT_EQ(Buffer(SND_HITSTONE).LastPlayedCopy(), expectedCopy);
  }
  EXPECT_EQ(PlayingCopies(SND_HITSTONE), 3);
  EXPECT_EQ(Buffer(SND_HITSTONE).GetFreeBuffer(), -1);

  ASSERT_EQ(sound_.Play(SND_HITSTONE), 1);
  EXPECT_EQ(Buffer(SND_HITSTONE).LastPlayedCopy(), 0);
  EXPECT_EQ(PlayingCopies(SND_HITSTONE), 3);
  EXPECT_FALSE(Buffer(SND_CLICK).IsPlaying(0)) << "copies of other effects are never taken";
}

TEST_F(SoundTest, WithoutForceABusyEffectIsNotRestarted) {
  ASSERT_EQ(sound_.Init(nullptr), 1);
  xSoundBuffer buffer;
  ASSERT_EQ(buffer.Create(root_ / "Sound" / "hitstone.wav", 2), 1) << buffer.LastError();
  EXPECT_EQ(buffer.Play(0, 100, 0, 0), 1);
  EXPECT_EQ(buffer.Play(0, 100, 0, 0), 1);
  EXPECT_EQ(buffer.Play(0, 100, 0, 0), 0);
  EXPECT_EQ(buffer.LastPlayedCopy(), 1);
  buffer.Stop();
  EXPECT_EQ(buffer.GetFreeBuffer(), 0);
  EXPECT_FALSE(buffer.IsPlaying(1));
}

TEST_F(SoundTest, EffectsOffReportSuccessAndPlayNothing) {
  ASSERT_EQ(sound_.Init(nullptr), 1);
  sound_.SetSndFx(0);
  EXPECT_EQ(sound_.Play(SND_CLICK), 1);
  EXPECT_EQ(sound_.Play(SND_WIN), 1);
  EXPECT_EQ(sound_.Play(99), 1);
  EXPECT_EQ(sound_.Stop(SND_DROP), 1);
  EXPECT_EQ(PlayingCopies(SND_CLICK), 0);

  sound_.SetSndFx(7);  // neither on nor off: ignored
  EXPECT_TRUE(sound_.EffectsOff());
  sound_.SetSndFx(1);
  EXPECT_EQ(sound_.Play(99), 0);
  EXPECT_EQ(sound_.Play(-1), 0);
  EXPECT_EQ(sound_.Play(SND_CLICK), 1);
  EXPECT_EQ(sound_.Stop(SND_CLICK), 1);
  EXPECT_EQ(PlayingCopies(SND_CLICK), 0);
}

TEST_F(SoundTest, VolumeReachesTheChannelAsDecibels) {
  ASSERT_EQ(sound_.Init(nullptr), 1);
  struct Case {
    int volume;
    long master;
    long attenuation;
    float gain;
  };
  const Case cases[] = {{100, 100, 0, 1.0f}, {50, 100, -5000, 0.0031623f}, {0, 100, -10000, 0.0f},
                        {-20, 100, -10000, 0.0f}, {100, 50, -5000, 0.0031623f}};
  for (const Case& c : cases) {
    xSound::SetMasterVolume(c.master);
    sound_.Stop(SND_CLICK);
    ASSERT_EQ(sound_.Play(SND_CLICK, 0, c.volume), 1);
    EXPECT_EQ(Buffer(SND_CLICK).GetVolume(0), c.attenuation) << c.volume;
    EXPECT_NEAR(Buffer(SND_CLICK).GetGain(0).left, c.gain, 1e-6) << c.volume;
    EXPECT_NEAR(Buffer(SND_CLICK).GetGain(0).right, c.gain, 1e-6) << c.volume;
  }
}

TEST_F(SoundTest, SwitchingMusicOffStopsMusic) {
  ASSERT_EQ(sound_.Init(nullptr), 1);
  Mix_Music* music = Mix_LoadMUS((root_ / "Sound" / "hitstone.wav").c_str());
  ASSERT_NE(music, nullptr) << Mix_GetError();
  ASSERT_EQ(Mix_PlayMusic(music, -1), 0);
  EXPECT_TRUE(Mix_PlayingMusic());
  sound_.SetMusic(0);
  EXPECT_TRUE(sound_.MusicOff());
  EXPECT_FALSE(Mix_PlayingMusic());
  sound_.SetMusic(1);
  EXPECT_FALSE(sound_.MusicOff());
  Mix_FreeMusic(music);
}

TEST_F(SoundTest, WithoutTheMixerEffectsPlayOneAtATime) {
  xSound::SetDeviceName("no such output device");
  ASSERT_EQ(sound_.Init(nullptr), 0);
  EXPECT_FALSE(sound_.UsesMixer());
  EXPECT_FALSE(Buffer(SND_CLICK).HasBuffers());

  EXPECT_EQ(sound_.Play(SND_CLICK, 1, 5), 1);
  EXPECT_EQ(sound_.FallbackPlayer().CurrentFile(), root_ / "Sound" / "click.wav");
  EXPECT_EQ(sound_.Play(SND_HITSTONE), 1);
  EXPECT_EQ(sound_.FallbackPlayer().CurrentFile(), root_ / "Sound" / "hitstone.wav") << "the new sound cuts off the old";
  EXPECT_EQ(sound_.Play(SND_DROP), 0);
  EXPECT_FALSE(sound_.FallbackPlayer().IsPlaying()) << "a broken file plays nothing, not even what played before";
  EXPECT_EQ(sound_.Stop(SND_CLICK), 0) << "there are no buffers to stop";
}

TEST(PcRoomSoundTest, GreetingFileByGradeAndDraw) {
  struct Case {
    int grade;
    int random;
    const char* expected;
  };
  const Case cases[] = {{1, 4, "C:\\P\\Common\\Resource\\image\\PCRoom.wav"},
                        {2, 0, "C:\\P\\Common\\Resource\\image\\PCRoom.wav"},
                        {1, 7, "C:\\P\\Common\\Resource\\image\\PCRoom_Basic.wav"},
                        {2, 7, "C:\\P\\Common\\Resource\\image\\PCRoom_Plus.wav"},
                        {3, 1, "C:\\P\\Common\\Resource\\image\\PCRoom_Plus.wav"}};
  for (const Case& c : cases) EXPECT_EQ(PcRoomSoundFile("C:\\P\\Common", c.grade, c.random), c.expected);
}

TEST_F(SoundTest, PcRoomGreetingPlaysOnlyInAPcRoom) {
  ASSERT_EQ(sound_.Init(nullptr), 1);
  for (const char* name : {"PCRoom.wav", "PCRoom_Basic.wav"}) WriteFile(root_ / "Common" / "Resource" / "image" / name, MakeWave(kLong));
  const std::string common = (root_ / "Common").string();

  sound_.PlayPcRoomSound(0, common);
  EXPECT_EQ(sound_.GetSndFile(SND_PCROOM_GREETING), "");

  sound_.PlayPcRoomSound(1, common);
  const std::string chosen = sound_.GetSndFile(SND_PCROOM_GREETING);
  EXPECT_TRUE(chosen == PcRoomSoundFile(common, 1, 0) || chosen == PcRoomSoundFile(common, 1, 1)) << chosen;
  EXPECT_EQ(PlayingCopies(SND_PCROOM_GREETING), 1);
  sound_.StopPcRoomSound(0);
  EXPECT_EQ(PlayingCopies(SND_PCROOM_GREETING), 1);
  sound_.StopPcRoomSound(1);
  EXPECT_EQ(PlayingCopies(SND_PCROOM_GREETING), 0);
}

}  // namespace
