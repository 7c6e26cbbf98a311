#include "base/Log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tovrik::base;

namespace {

struct Captured {
  LogLevel level;
  std::string subsystem;
  std::string text;
};

// Installs a sink that keeps every record, and puts back the level and the
// sink that were there before.
class LogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousLevel_ = CurrentLogLevel();
    previousSink_ = SetLogSink([this](const LogRecord& r) {
      records_.push_back({r.level, std::string(r.subsystem), std::string(r.text)});
    });
  }
  void TearDown() override {
    SetLogSink(std::move(previousSink_));
    SetLogLevel(previousLevel_);
  }

  std::vector<Captured> records_;

 private:
  LogLevel previousLevel_{};
  LogSink previousSink_;
};

struct EscapeCase {
  std::string input;
  std::string expected;
};

TEST(LogEscape, ControlBytesBecomeEscapesAndTheRestStays) {
  const std::vector<EscapeCase> cases{
      {"plain id", "plain id"},
      {"z]\n[victim]\nA=1", "z]\\x0a[victim]\\x0aA=1"},
      {"cr\rtab\t", "cr\\x0dtab\\x09"},
      {std::string("nul\0end", 7), "nul\\x00end"},
      {"\x1b[31mred", "\\x1b[31mred"},
      {"del\x7f", "del\\x7f"},
      {"\x1f\x01", "\\x1f\\x01"},
      {"back\\slash \"quoted\"", "back\\slash \"quoted\""},
      {"\xb1\xe8\xc3\xb6\xbc\xf6", "\xb1\xe8\xc3\xb6\xbc\xf6"},  // code page 949 bytes are not controls
      {"\xea\xb9\x80", "\xea\xb9\x80"},                          // nor are UTF-8 ones
      {"", ""},
  };
  for (const EscapeCase& c : cases) EXPECT_EQ(EscapeControlBytes(c.input), c.expected) << c.expected;
}

TEST(LogEscape, NoByteOfTheResultIsAControlByte) {
  std::string every;
  for (int b = 0; b < 256; ++b) every += static_cast<char>(b);
  for (char c : EscapeControlBytes(every)) {
    const auto byte = static_cast<unsigned char>(c);
    EXPECT_TRUE(byte >= 0x20 && byte != 0x7F) << int(byte);
  }
}

TEST(LogLevels, NamesParseBackAndNothingElseParses) {
  for (LogLevel level : {LogLevel::Error, LogLevel::Warn, LogLevel::Info, LogLevel::Debug}) {
    LogLevel parsed = LogLevel::Error;
    ASSERT_TRUE(ParseLogLevel(LogLevelName(level), parsed));
    EXPECT_EQ(parsed, level);
  }
  LogLevel untouched = LogLevel::Warn;
  for (std::string_view bad : {"", "INFO", "verbose", "info ", "debug\n"}) {
    EXPECT_FALSE(ParseLogLevel(bad, untouched)) << bad;
    EXPECT_EQ(untouched, LogLevel::Warn);
  }
}

// A part that counts how often it is put into a record's text.
struct CountedPart {
  int* count;
};
std::ostream& operator<<(std::ostream& out, const CountedPart& part) {
  ++*part.count;
  return out << "counted";
}

TEST_F(LogTest, RecordsAboveTheLevelAreDroppedBeforeTheirTextIsBuilt) {
  SetLogLevel(LogLevel::Warn);
  int built = 0;
  const CountedPart part{&built};
  Log(LogLevel::Error, "test", "error ", part);
  Log(LogLevel::Warn, "test", "warn ", part);
  Log(LogLevel::Info, "test", "info ", part);
  Log(LogLevel::Debug, "test", "debug ", part);
  EXPECT_EQ(built, 2);
  ASSERT_EQ(records_.size(), 2u);
  EXPECT_EQ(records_[0].level, LogLevel::Error);
  EXPECT_EQ(records_[0].text, "error counted");
  EXPECT_EQ(records_[1].level, LogLevel::Warn);

  SetLogLevel(LogLevel::Debug);
  Log(LogLevel::Debug, "test", "debug ", 5);
  ASSERT_EQ(records_.size(), 3u);
  EXPECT_EQ(records_[2].text, "debug 5");
}

TEST_F(LogTest, AHostileIdInARecordReachesTheSinkEscaped) {
  const std::string id = "z]\n12:00:00 error server: forged";
  Log(LogLevel::Info, "server", "user ", id, " logged in");
  ASSERT_EQ(records_.size(), 1u);
  EXPECT_EQ(records_[0].subsystem, "server");
  EXPECT_EQ(records_[0].text, "user z]\\x0a12:00:00 error server: forged logged in");
}

TEST_F(LogTest, TheSubsystemNameIsEscapedToo) {
  Log(LogLevel::Info, "bad\nname", "x");
  ASSERT_EQ(records_.size(), 1u);
  EXPECT_EQ(records_[0].subsystem, "bad\\x0aname");
}

TEST(LogStandardError, WithoutASinkEachRecordIsOneLineWithLevelAndSubsystem) {
  const LogSink previous = SetLogSink({});
  testing::internal::CaptureStderr();
  Log(LogLevel::Error, "robot", "id a\nb ", 7);
  const std::string out = testing::internal::GetCapturedStderr();
  SetLogSink(previous);

  ASSERT_FALSE(out.empty());
  EXPECT_EQ(out.find('\n'), out.size() - 1) << out;
  EXPECT_NE(out.find(" error robot: id a\\x0ab 7"), std::string::npos) << out;
}

}  // namespace
