// The headless message box: answered by the automation and recorded, with
// a bounded record.

#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

using namespace tovrik::platform;

namespace {

class HeadlessMessageBox : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ResetMessageBoxAutomation();
  }
  void TearDown() override { ResetMessageBoxAutomation(); }
};

TEST_F(HeadlessMessageBox, TheRecordKeepsTheLatestBoxesOnly) {
  ASSERT_TRUE(MessageBoxesAreHeadless());
  const std::size_t shown = kLoggedMessageBoxesKept * 3 + 5;
  for (std::size_t i = 0; i < shown; ++i) ShowMessageBox("caption", "box " + std::to_string(i), MB_OK);
  EXPECT_EQ(LoggedMessageBoxes().size(), kLoggedMessageBoxesKept);
  EXPECT_EQ(LoggedMessageBoxes().back().text, "box " + std::to_string(shown - 1));
  EXPECT_EQ(LoggedMessageBoxes().front().text, "box " + std::to_string(shown - kLoggedMessageBoxesKept));
  EXPECT_EQ(LoggedMessageBoxCount(), shown);
}

TEST_F(HeadlessMessageBox, AnUnattendedBoxTakesTheEscapeButton) {
  EXPECT_EQ(ShowMessageBox("c", "t", MB_YESNO), IDNO);
  QueueMessageBoxAnswers({IDYES});
  EXPECT_EQ(ShowMessageBox("c", "t", MB_YESNO), IDYES);
  EXPECT_EQ(LoggedMessageBoxCount(), 2u);
}

}  // namespace

namespace {

void InterruptOnSignal(int) { InterruptMessageBoxes(); }

// A box on the screen runs apart from the program, so that a signal that
// asks the program to end is not held back until someone answers it.
class OnScreenBox : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetMessageBoxAutomation();
    struct sigaction action {};
    action.sa_handler = InterruptOnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGUSR1, &action, &previous_);
  }
  void TearDown() override {
    SetOnScreenMessageBoxForTests({});
    ResetMessageBoxAutomation();
    sigaction(SIGUSR1, &previous_, nullptr);
  }
  struct sigaction previous_ {};
};

TEST_F(OnScreenBox, TheAnswerComesBackFromTheBox) {
  SetOnScreenMessageBoxForTests([](std::string_view, std::string_view text, unsigned) {
    return text == "retry?" ? IDRETRY : IDOK;
  });
  EXPECT_EQ(ShowMessageBox("c", "retry?", MB_RETRYCANCEL), IDRETRY);
  EXPECT_TRUE(LoggedMessageBoxes().empty()) << "shown on the screen, not through the log";
}

TEST_F(OnScreenBox, ASignalEndsABoxNobodyAnswersAndLeavesNoProcessBehind) {
  SetOnScreenMessageBoxForTests([](std::string_view, std::string_view, unsigned) {
    for (;;) ::pause();
    return IDOK;
  });
  std::thread signaller([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ::kill(::getpid(), SIGUSR1);
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ShowMessageBox("c", "nobody answers", MB_OKCANCEL), IDCANCEL);
  signaller.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "the box's process was reaped";
  EXPECT_EQ(errno, ECHILD);
}

}  // namespace
