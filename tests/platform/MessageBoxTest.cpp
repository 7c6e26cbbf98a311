// The headless message box: answered by the automation and recorded, with
// a bounded record.

#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

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
