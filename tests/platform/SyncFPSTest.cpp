#include "platform/SyncFPS.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/Display.h"
#include "platform/EventLoop.h"

namespace tovrik::platform {
namespace {

class SyncFPSTest : public ::testing::Test {
 protected:
  void SetUp() override { sync_.Init(50); }
  int After(std::uint32_t ms, int sleep = 0) {
    clock_.Advance(ms);
    return sync_.FrameSync(sleep);
  }
  FakeClock clock_{5000};
  CSyncFPS sync_{clock_};
};

TEST_F(SyncFPSTest, OnTimeCallsReturnZeroAndStayInStep) {
  for (int i = 0; i < 5; ++i) EXPECT_EQ(After(20), 0);
  EXPECT_DOUBLE_EQ(sync_.IdealTime(), sync_.RealTime());
}

TEST_F(SyncFPSTest, LateCallReportsWholeMissedFramesAndKeepsTheRemainder) {
  EXPECT_EQ(After(65), 2);
  EXPECT_DOUBLE_EQ(sync_.RealTime() - sync_.IdealTime(), 5.0);
}

TEST_F(SyncFPSTest, LongPauseCountsAsTwoSeconds) {
  EXPECT_EQ(After(10000), 99);
  EXPECT_DOUBLE_EQ(sync_.RealTime(), 2000.0);
}

TEST_F(SyncFPSTest, EarlyCallSleepsOnlyWithTheSleepFlag) {
  EXPECT_EQ(After(5, 1), 0);
  EXPECT_EQ(clock_.SleptMs(), 15u);
  sync_.Init(50);
  EXPECT_EQ(After(5, 0), 0);
  EXPECT_EQ(clock_.SleptMs(), 15u);
  EXPECT_DOUBLE_EQ(sync_.IdealTime(), sync_.RealTime());  // being ahead is forgiven
}

TEST_F(SyncFPSTest, ClockWrapIsAnOrdinaryStep) {
  clock_.Set(0xFFFFFFF0u);
  sync_.Init(50);
  EXPECT_EQ(After(40), 1);
}

TEST_F(SyncFPSTest, RateOfZeroNeverDividesByZero) {
  sync_.Init(0);
  EXPECT_EQ(After(100), 0);
}

TEST(SyncFPSDefaultTest, RateIs75UntilInit) {
  EXPECT_EQ(CSyncFPS().FramesPerSecond(), 75);
}

class RecordingBackend : public DisplayModeBackend {
 public:
  explicit RecordingBackend(std::vector<std::string>& calls, bool succeed = true) : calls_(calls), succeed_(succeed) {}
  bool SetMode(int w, int h, int bpp) override {
    calls_.push_back("set " + std::to_string(w) + "x" + std::to_string(h) + "x" + std::to_string(bpp));
    return succeed_;
  }
  void RestoreMode() override { calls_.push_back("restore"); }

 private:
  std::vector<std::string>& calls_;
  bool succeed_;
};

TEST(DisplayTest, InitWhileAModeIsHeldClosesItFirst) {
  std::vector<std::string> calls;
  {
    CDisplay display(std::make_unique<RecordingBackend>(calls));
    EXPECT_EQ(display.InitDirectDraw(WindowHandle{1}, 800, 600, 16), 1);
    EXPECT_EQ(display.InitDirectDraw(WindowHandle{1}, 800, 600, 16), 1);
    EXPECT_EQ(display.IsOpened(), 1);
  }
  // ...and the destructor gives the last one back.
  EXPECT_EQ(calls, (std::vector<std::string>{"set 800x600x16", "restore", "set 800x600x16", "restore"}));
}

TEST(DisplayTest, FailureLeavesNothingHeld) {
  std::vector<std::string> calls;
  CDisplay display(std::make_unique<RecordingBackend>(calls, false));
  EXPECT_EQ(display.InitDirectDraw(WindowHandle{1}, 800, 600, 16), 0);
  EXPECT_EQ(display.IsOpened(), 0);
  display.CloseDirectDraw();
  EXPECT_EQ(calls, (std::vector<std::string>{"set 800x600x16"}));
}

TEST(DisplayTest, WithoutAScreenThereIsNothingToSwitch) {
  EventLoop loop;
  CDisplay display;
  EXPECT_EQ(display.InitDirectDraw(WindowHandle{1}, 800, 600, 16), 0);
}

}  // namespace
}  // namespace tovrik::platform
