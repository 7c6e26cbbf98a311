#include "platform/SingleInstance.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using tovrik::platform::SingleInstance;

namespace {

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tovrik-instance-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(SingleInstanceTest, SecondHolderIsRefusedAndCanAskTheFirstToFront) {
  SingleInstance first("PennabelMutex", dir_);
  SingleInstance second("PennabelMutex", dir_);
  ASSERT_EQ(first.Acquire(), SingleInstance::State::kFirst);
  EXPECT_EQ(second.Acquire(), SingleInstance::State::kAlreadyRunning);
  EXPECT_FALSE(first.TakeRaiseRequest());
  EXPECT_TRUE(second.AskFirstInstanceToFront());
  EXPECT_TRUE(second.AskFirstInstanceToFront());
  EXPECT_TRUE(first.TakeRaiseRequest());   // both requests, answered once
  EXPECT_FALSE(first.TakeRaiseRequest());
}

TEST_F(SingleInstanceTest, LockEndsWithTheHolder) {
  SingleInstance first("PennabelMutex", dir_);
  ASSERT_EQ(first.Acquire(), SingleInstance::State::kFirst);
  first.Release();
  EXPECT_FALSE(SingleInstance("PennabelMutex", dir_).AskFirstInstanceToFront());
  SingleInstance next("PennabelMutex", dir_);
  EXPECT_EQ(next.Acquire(), SingleInstance::State::kFirst);
}

TEST_F(SingleInstanceTest, AHolderThatDiedLeavesNoLockBehind) {
  pid_t child = fork();
  if (child == 0) {
    SingleInstance doomed("PennabelMutex", dir_);
    doomed.Acquire();
    _exit(doomed.state() == SingleInstance::State::kFirst ? 0 : 1);  // no destructor runs
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(fs::exists(dir_ / "PennabelMutex.sock"));  // stale socket left by the crash
  SingleInstance next("PennabelMutex", dir_);
  EXPECT_EQ(next.Acquire(), SingleInstance::State::kFirst);
  EXPECT_TRUE(SingleInstance("PennabelMutex", dir_).AskFirstInstanceToFront());
  EXPECT_TRUE(next.TakeRaiseRequest());
}

TEST_F(SingleInstanceTest, UnusableFolderLetsTheProgramRunUnguarded) {
  SingleInstance guard("PennabelMutex", dir_ / "missing");
  EXPECT_EQ(guard.Acquire(), SingleInstance::State::kUnavailable);
}

}  // namespace
