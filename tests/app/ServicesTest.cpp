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
