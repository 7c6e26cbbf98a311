// The skinned message box: its look for each button set, the keys and
// buttons that answer it, the automated answers and records that unattended
// runs rely on, and the road from the application's message box to it.

#include <gtest/gtest.h>

#include "GoldenFrame.h"
#include "DialogFixture.h"
#include "app/ClientApp.h"
#include "app/ClientDlg.h"
#include "lobby/ClientScreenSet.h"
#include "lobby/QXMsgDlg.h"
#include "ui/UiMessageBox.h"

namespace tovrik::lobby {
namespace {
using namespace platform;
using dialogtest::Centre;

class MessageBoxTest : public dialogtest::DialogTest {
 protected:
  void ExpectGolden(CQXMsgDlg& box, const std::string& name) {
    loop.PaintNow();
    controls::testing::ExpectMatchesGolden(loop.Frame(), box.GetScreenRect(), name,
                                           controls::testing::GoldenDir("lobby"));
  }
};

TEST_F(MessageBoxTest, GoldenFramesOfEachKind) {
  struct Case {
    const char* name;
    const char* text;
    const char* title;
    unsigned type;
  };
  const Case cases[] = {
      {"msgbox_ok", "캐릭터가 변경되었습니다", "", MB_OK},
      {"msgbox_okcancel", "나가기 예약을 하시겠습니까? 게임이 끝나면 방에서 나가게 됩니다.", "나가기 예약",
       MB_OKCANCEL},
      {"msgbox_yesno", "슈퍼방이 아니므로 강제 추방시킬 수 없습니다.\r\n아이템을 구매하거나 사용하셔서 슈퍼방을 "
                       "개설하시기 바랍니다.",
       "", MB_YESNO},
      {"msgbox_report_confirm", "대화 내용 신고 확인", "", MB_YESNO},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CQXMsgDlg box(c.text, c.title, c.type);
    ASSERT_TRUE(box.CreateModeless(&main));
    ExpectGolden(box, c.name);
  }
}

TEST_F(MessageBoxTest, BackgroundSetsSizeAndShowsTheButtonsOfTheSet) {
  CQXMsgDlg okBox("a", "", MB_OK);
  ASSERT_TRUE(okBox.CreateModeless(&main));
  EXPECT_EQ(okBox.GetWindowRect(), Rect::FromSize(225, 205, 350, 190)) << "centred on the main window";
  EXPECT_TRUE(okBox.GetDlgItem(IDOK)->IsVisibleFlag());
  EXPECT_EQ(okBox.GetDlgItem(IDOK)->GetWindowRect().TopLeft(), (Point{135, 152}));
  for (int hidden : {IDCANCEL, IDYES, IDNO}) EXPECT_FALSE(okBox.GetDlgItem(hidden)->IsVisibleFlag()) << hidden;

  CQXMsgDlg report(std::string(kReportConfirmText), "", MB_YESNO);
  ASSERT_TRUE(report.CreateModeless(&main));
  EXPECT_EQ(report.GetWindowRect().Width(), 290);
  EXPECT_EQ(report.GetDlgItem(IDYES)->GetWindowRect().TopLeft(), (Point{49, 116}));
  EXPECT_EQ(report.GetDlgItem(IDNO)->GetWindowRect().TopLeft(), (Point{155, 116}));
}

TEST_F(MessageBoxTest, KeysAnswerWithTheSetsButtons) {
  struct Case {
    unsigned type;
    WParam key;
    int answer;
  };
  const Case cases[] = {
      {MB_OK, VK_ESCAPE, IDOK},         {MB_OK, VK_RETURN, IDOK},
      {MB_OKCANCEL, VK_ESCAPE, IDCANCEL}, {MB_OKCANCEL, VK_RETURN, IDOK},
      {MB_YESNO, VK_ESCAPE, IDNO},      {MB_YESNO, VK_RETURN, IDYES},
  };
  for (const Case& c : cases) {
    CQXMsgDlg box("질문", "", c.type);
    AtNextModal([&](Window&) { PressKey(c.key); });
    EXPECT_EQ(box.DoModal(&main), c.answer) << c.type << " " << c.key;
  }
}

TEST_F(MessageBoxTest, ButtonsAnswerWhenClicked) {
  for (int button : {IDYES, IDNO}) {
    CQXMsgDlg box("질문", "", MB_YESNO);
    AtNextModal([&](Window& modal) { Click(Centre(*modal.GetDlgItem(button))); });
    EXPECT_EQ(box.DoModal(&main), button);
  }
  CQXMsgDlg box("확인", "", MB_OKCANCEL);
  AtNextModal([&](Window& modal) { Click(Centre(*modal.GetDlgItem(IDCANCEL))); });
  EXPECT_EQ(box.DoModal(&main), IDCANCEL);
}

TEST_F(MessageBoxTest, UnattendedBoxesTakeQueuedAnswersThenEscapeAndAreRecorded) {
  CQXMessageDialog dialog;
  QueueMessageBoxAnswers({IDYES, IDOK});
  EXPECT_EQ(dialog.Show(main, "하나", app::kAppTitle, MB_YESNO), IDYES);
  EXPECT_EQ(dialog.Show(main, "둘", app::kAppTitle, MB_YESNO), IDNO) << "OK is no answer to Yes/No";
  EXPECT_EQ(dialog.Show(main, "셋", app::kAppTitle, MB_OKCANCEL), IDCANCEL) << "nobody sees it: escape";
  SetMessageBoxDefaultAnswer(IDOK);
  EXPECT_EQ(dialog.Show(main, "넷", "제목", MB_OKCANCEL), IDOK);
  ASSERT_EQ(LoggedMessageBoxes().size(), 4u);
  EXPECT_EQ(LoggedMessageBoxes()[1].text, "둘");
  EXPECT_EQ(LoggedMessageBoxes()[1].answer, IDNO);
  EXPECT_EQ(LoggedMessageBoxes()[3].caption, "제목");
  EXPECT_EQ(LoggedMessageBoxes()[3].type, MB_OKCANCEL);
}

TEST_F(MessageBoxTest, AnswerFromInsideTheRunWinsOverTheUnattendedOne) {
  CQXMessageDialog dialog;
  AtNextModal([](Window& modal) { modal.SendMessage(WM_COMMAND, IDYES, 0); });
  EXPECT_EQ(dialog.Show(main, "질문", app::kAppTitle, MB_YESNO), IDYES);
  EXPECT_EQ(LoggedMessageBoxes().back().answer, IDYES);
}

TEST_F(MessageBoxTest, InterruptionEndsAnOpenBoxAsEscaped) {
  CQXMsgDlg box("질문", "", MB_YESNO);
  AtNextModal([](Window&) { InterruptMessageBoxes(); });
  loop.SetIdleHook([this] {
    clock.Advance(50);
    return true;
  });
  EXPECT_EQ(box.DoModal(&main), IDNO);
  loop.SetIdleHook({});
}

TEST_F(MessageBoxTest, EveryBoxOfTheProgramReachesTheSkinnedDialog) {
  app::CClientApp application{{"tovrik"}};
  app::CClientDlg::Options options;
  options.portalModules = options.sprites = options.sound = false;
  options.screenSet = &MakeClientScreens;
  app::CClientDlg dlg(options);
  main.Destroy();  // the controller is the main window
  ASSERT_TRUE(dlg.Create(nullptr, Rect::FromSize(0, 0, 800, 600)));
  application.SetMessageBoxHost(&dlg);
  InstallClientScreens();

  std::vector<std::string> shown;
  auto watch = [&] {
    AtNextModal([&](Window& modal) {
      if (auto* box = dynamic_cast<CQXMsgDlg*>(&modal)) shown.push_back(box->Text());
    });
  };
  watch();
  QueueMessageBoxAnswers({IDYES});
  EXPECT_EQ(app::AfxMessageBox("질문", MB_YESNO), IDYES);
  watch();
  EXPECT_EQ(ui::UiMessageBox("그림 파일을 읽을 수 없습니다", MB_OK), IDOK);
  watch();
  EXPECT_EQ(CMsgBox::DoModal("예 또는 아니오", "제목"), IDCANCEL) << "unattended: no";
  EXPECT_EQ(shown, (std::vector<std::string>{"질문", "그림 파일을 읽을 수 없습니다", "예 또는 아니오"}));
  ASSERT_EQ(LoggedMessageBoxes().size(), 3u) << "each box is logged once";
  EXPECT_EQ(LoggedMessageBoxes()[0].caption, app::kAppTitle);
  EXPECT_EQ(LoggedMessageBoxes()[2].caption, "제목");
  application.SetMessageBoxHost(nullptr);
  ui::SetUiMessageBoxHandler({});
}

}  // namespace
}  // namespace tovrik::lobby
