#include "app/ClientApp.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace tovrik::app;

using namespace tovrik::platform;

namespace {

struct FakeHost : IMessageBoxHost {
  int progressClosed = 0;
  std::vector<unsigned> shownTypes;
  void CloseProgressBoxes() override { ++progressClosed; }
  int ShowMessageDialog(std::string_view, std::string_view caption, unsigned type) override {
    EXPECT_EQ(caption, kAppTitle);
    shownTypes.push_back(type);
    return IDYES;
  }
};

class MessageBoxRoutingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ResetMessageBoxAutomation();
  }
  void TearDown() override { ResetMessageBoxAutomation(); }
  CClientApp app{{"tovrik"}};
};

TEST_F(MessageBoxRoutingTest, AddsTheExclamationIconOnlyWhereNoIconWasAsked) {
  struct Case {
    unsigned asked, shown;
  };
  const Case cases[] = {
      {MB_OK, MB_OK | MB_ICONEXCLAMATION},
      {MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION},
      {MB_YESNOCANCEL, MB_YESNOCANCEL | MB_ICONEXCLAMATION},
      {MB_YESNO, MB_YESNO | MB_ICONEXCLAMATION},
      {MB_RETRYCANCEL, MB_RETRYCANCEL},
      {MB_ABORTRETRYIGNORE, MB_ABORTRETRYIGNORE},
      {MB_OK | MB_ICONSTOP, MB_OK | MB_ICONSTOP},
  };
  for (const Case& c : cases) app.DoMessageBox("t", c.asked);
  ASSERT_EQ(LoggedMessageBoxes().size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(LoggedMessageBoxes()[i].type, cases[i].shown) << i;
    EXPECT_EQ(LoggedMessageBoxes()[i].caption, kAppTitle);
  }
}

TEST_F(MessageBoxRoutingTest, SkinnedDialogTakesOkOkCancelAndYesNoOnly) {
  FakeHost host;
  app.SetMessageBoxHost(&host);
  EXPECT_EQ(app.DoMessageBox("a", MB_OK), IDYES);
  EXPECT_EQ(app.DoMessageBox("b", MB_OKCANCEL), IDYES);
  EXPECT_EQ(app.DoMessageBox("c", MB_YESNO | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(host.shownTypes, (std::vector<unsigned>{MB_OK | MB_ICONEXCLAMATION, MB_OKCANCEL | MB_ICONEXCLAMATION,
                                                    MB_YESNO | MB_ICONQUESTION}));
  EXPECT_EQ(host.progressClosed, 3);
  EXPECT_TRUE(LoggedMessageBoxes().empty());

  app.DoMessageBox("d", MB_YESNOCANCEL);
  app.DoMessageBox("e", MB_RETRYCANCEL);
  EXPECT_EQ(LoggedMessageBoxes().size(), 2u);  // the system box
  EXPECT_EQ(host.progressClosed, 3);

  app.SetMessageBoxHost(nullptr);
  app.DoMessageBox("f", MB_OK);
  EXPECT_EQ(LoggedMessageBoxes().size(), 3u);
}

TEST_F(MessageBoxRoutingTest, HeadlessAnswersComeFromQueueThenDefaultThenEscape) {
  QueueMessageBoxAnswers({IDYES, IDOK});
  EXPECT_EQ(AfxMessageBox("1", MB_YESNO), IDYES);
  EXPECT_EQ(AfxMessageBox("2", MB_YESNO), IDNO);  // OK is no answer to Yes/No: Escape's button
  EXPECT_EQ(AfxMessageBox("3", MB_YESNOCANCEL), IDCANCEL);
  EXPECT_EQ(AfxMessageBox("4", MB_OK), IDOK);
  SetMessageBoxDefaultAnswer(IDRETRY);
  EXPECT_EQ(AfxMessageBox("5", MB_RETRYCANCEL), IDRETRY);
  EXPECT_EQ(AfxMessageBox("6", MB_RETRYCANCEL), IDRETRY);
  EXPECT_EQ(LoggedMessageBoxes().back().answer, IDRETRY);
}

TEST(MessageBoxLog, EscapesControlCharactersAndQuotes) {
  EXPECT_EQ(MessageBoxLogLine("T", "a\r\nb \"c\" \\d", MB_YESNO | MB_ICONQUESTION, IDNO),
            "MessageBox caption=\"T\" text=\"a\\r\\nb \\\"c\\\" \\\\d\" buttons=Yes/No answer=No");
}

}  // namespace
