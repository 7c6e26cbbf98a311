// URL encoding and the per-user configuration file.

#include "app/ClientServices.h"
#include "app/ConfigFile.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

using namespace tovrik::app;

namespace {

TEST(URLEncode, KeepsTheSafeSetAndEscapesTheRest) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"a b/c", "a%20b%2Fc"},
      {"\xB0\xA1", "%B0%A1"},  // one Korean syllable in code page 949
      {"x=1&y?#", "x%3D1%26y%3F%23"},
      {"!\"$%'()*+,-.:<>_09AZaz", "!\"$%'()*+,-.:<>_09AZaz"},
      {";@[]^`{|}~\x7F\x01", "%3B%40%5B%5D%5E%60%7B%7C%7D%7E%7F%01"},
      {"HTTP://a b", "HTTP://a%20b"},  // the scheme's slashes stay
      {"http://", "http:%2F%2F"},  // too short to be an address
      {"ftp://a", "ftp:%2F%2Fa"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(URLEncode(c.in), c.out) << c.in;
}

class Configuration : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() / ("tovrik-config-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    SetProfile_DefPath(folder);
  }
  void TearDown() override {
    SetProfile_DefPath({});
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(folder);
  }
  void WriteFile(const std::string& text) {
    std::filesystem::create_directories(folder / "config");
    std::ofstream(folder / "config" / "config.ini") << text;
  }
  std::filesystem::path folder;
};

TEST_F(Configuration, UserWithoutSectionGetsTheDefaults) {
  WriteFile("[other]\nScreenMode=0\nNoWhisper=1\n");
  ClientConfig config{7, 7, 7, 7, 7, 7};
  ASSERT_TRUE(config.Load("hong"));
  EXPECT_EQ(config.ScreenMode, 1);
  EXPECT_EQ(config.OffSndFX + config.OffMusic + config.NoInvit + config.NoWhisper + config.FailToFullScreen, 0);
}

TEST_F(Configuration, MissingFileGivesDefaultsAndEmptyIdIsRefused) {
  ClientConfig config;
  EXPECT_FALSE(config.Load(""));
  EXPECT_FALSE(config.Save(""));
  ASSERT_TRUE(config.Load("hong"));
  EXPECT_EQ(config.ScreenMode, 1);
  EXPECT_FALSE(std::filesystem::exists(folder / "config"));
}

TEST_F(Configuration, ValuesArePlainDecimalAndEmptyMeansDefault) {
  WriteFile("[hong]\nScreenMode=\nOffSndFX= 1junk\nOffMusic=abc\nNoInvit=-2\n");
  EXPECT_EQ(GetProfile_int("hong", "ScreenMode", 1), 1);
  EXPECT_EQ(GetProfile_int("hong", "OffSndFX", 0), 1);
  EXPECT_EQ(GetProfile_int("hong", "OffMusic", 5), 0);
  EXPECT_EQ(GetProfile_int("hong", "NoInvit", 0), -2);
  EXPECT_EQ(GetProfile_int("hong", "Missing", 9), 9);
}

TEST_F(Configuration, SaveKeepsOtherUsersAndRoundTrips) {
  WriteFile("[other]\nScreenMode=0\n");
  ClientConfig config{0, 1, 1, 0, 1, 0};
  ASSERT_TRUE(config.Save("hong"));
  ClientConfig back;
  ASSERT_TRUE(back.Load("hong"));
  EXPECT_EQ(back.ScreenMode, 0);
  EXPECT_EQ(back.OffSndFX, 1);
  EXPECT_EQ(back.NoWhisper, 1);
  EXPECT_EQ(GetProfile_int("other", "ScreenMode", 1), 0);
}

TEST_F(Configuration, UnwritableFolderIsReportedNotFatal) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes anywhere";
  std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  EXPECT_FALSE(WriteProfile_int("hong", "ScreenMode", 0));
  EXPECT_EQ(GetProfile_int("hong", "ScreenMode", 1), 1);
}

}  // namespace

TEST(ConfigSectionName, EscapesWhatWouldEndOrSplitASectionLine) {
  struct Case {
    std::string id, section;
  } cases[] = {
      {"hong", "hong"},
      {"Kim_99-x.y", "Kim_99-x.y"},
      {"z]\n[victim]\nA=1", "z%5D%0A%5Bvictim%5D%0AA%3D1"},
      {"a b;c#d%e\r\t", "a%20b%3Bc%23d%25e%0D%09"},
      {"\xB1\xE8", "\xB1\xE8"},  // code page 949 text stays
  };
  for (const Case& c : cases) EXPECT_EQ(ConfigSectionName(c.id), c.section) << c.id;
}

// Points are the server's 32-bit figures: their differences must be true
// at the extremes too (and not overflow, which UBSan reports).
TEST(ScoreLines, DifferencesAreExactAtTheExtremes) {
  struct Case {
    std::int32_t points, runBaseline, roomBaseline;
    const char* run;
    const char* room;
  } cases[] = {
      {1500, 1500, 1500, "★접속후 총 +0점을 획득하셨습니다\n", "★방금 계셨던 방에서 +0점을 획득하셨습니다\n"},
      {1510, 1400, 1520, "★접속후 총 +110점을 획득하셨습니다\n", "★방금 계셨던 방에서 -10점을 잃으셨습니다\n"},
      {INT32_MIN, INT32_MAX, 0, "★접속후 총 -4294967295점을 잃으셨습니다\n",
       "★방금 계셨던 방에서 -2147483648점을 잃으셨습니다\n"},
      {INT32_MAX, INT32_MIN, -1, "★접속후 총 +4294967295점을 획득하셨습니다\n",
       "★방금 계셨던 방에서 +2147483648점을 획득하셨습니다\n"},
  };
  for (const Case& c : cases) {
    const std::vector<ScoreLine> lines = ScoreLines(c.points, c.runBaseline, c.roomBaseline);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, c.run) << c.points << " since " << c.runBaseline;
    EXPECT_EQ(lines[1].text, c.room) << c.points << " since " << c.roomBaseline;
    EXPECT_EQ(lines[0].gain, std::int64_t{c.points} >= c.runBaseline);
  }
}
