#include "lobby/ChatViewEdit.h"
#include "lobby/HideChatList.h"
#include "lobby/NoChat.h"
#include "lobby/SendEdit.h"
#include "lobby/WhisperDlg.h"

#include <gtest/gtest.h>

#include "ControlRig.h"
#include "LobbyRig.h"
#include "app/ControllerState.h"
#include "platform/MessageBox.h"
#include "game/GameGlobals.h"
#include "protocol/LobbyMessages.h"
#include "protocol/RelayMessages.h"
#include "protocol/TextField.h"

namespace tovrik::lobby {
namespace {

using namespace platform;
using testing::Cp;
using testing::RecordingPlace;
using testing::ShownLine;

constexpr app::ChatColour kBlack{0, 0, 0};

// --- Flood limiter -------------------------------------------------------------

TEST(NoChat, MutesRepeatsAndBurstsForTwoMinutes) {
  struct Line {
    const char* text;
    std::uint32_t at;
    int refused;
  };
  struct Case {
    const char* name;
    std::uint32_t base;
    std::vector<Line> lines;
  };
  const Case cases[] = {
      {"the same line four times in 5 s, five lines held: the fourth goes, the next is refused",
       0,
       {{"hi", 0, 0}, {"x", 1000, 0}, {"x", 2000, 0}, {"x", 3000, 0}, {"x", 4000, 0}, {"other", 4500, 1}}},
      {"four identical lines with nothing before them do not mute",
       0,
       {{"x", 0, 0}, {"x", 1000, 0}, {"x", 2000, 0}, {"x", 3000, 0}, {"y", 3500, 0}}},
      {"the same line four times over more than 5 s does not mute",
       0,
       {{"a", 0, 0}, {"x", 1000, 0}, {"x", 2000, 0}, {"x", 3000, 0}, {"x", 5001, 0}, {"z", 5500, 0}}},
      {"six different lines in under 3 s mute",
       0,
       {{"a", 0, 0}, {"b", 500, 0}, {"c", 1000, 0}, {"d", 1500, 0}, {"e", 2000, 0}, {"f", 2999, 0}, {"g", 3000, 1}}},
      {"six lines in exactly 3 s do not",
       0,
       {{"a", 0, 0}, {"b", 600, 0}, {"c", 1200, 0}, {"d", 1800, 0}, {"e", 2400, 0}, {"f", 3000, 0}, {"g", 6000, 0}}},
      {"the mute holds 120 s from the line that earned it, then lifts",
       0,
       {{"a", 0, 0}, {"b", 1, 0}, {"c", 2, 0}, {"d", 3, 0}, {"e", 4, 0}, {"f", 5, 0},
        {"g", 5 + 120000, 1}, {"g", 5 + 120001, 0}, {"h", 5 + 120002, 0}}},
      {"a burst and its mute across the clock's wrap",
       0xFFFFF800u,
       {{"a", 0, 0}, {"b", 500, 0}, {"c", 1000, 0}, {"d", 1500, 0}, {"e", 2000, 0}, {"f", 2999, 0}, {"g", 3000, 1},
        {"h", 2999 + 120001, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CNoChat limiter;
    for (const Line& line : c.lines) {
      SCOPED_TRACE(line.text);
      EXPECT_EQ(limiter.CheckNoChat(line.text, c.base + line.at), line.refused);
    }
  }
}

// --- Commands ---------------------------------------------------------------------

TEST(ChatCommand, WhisperAndQueryPrefixes) {
  using Kind = ChatCommand::Kind;
  struct Case {
    const char* line;  // UTF-8
    Kind kind;
    const char* nick;
    const char* message;
  };
  const Case cases[] = {
      {"/w nick hello there", Kind::Whisper, "nick", "hello there"},
      {"/W nick hi", Kind::Whisper, "nick", "hi"},
      {"/ㅈ 닉네임 안녕", Kind::Whisper, "닉네임", "안녕"},
      {"/wnick msg", Kind::Chat, "", ""},
      {"/w nick", Kind::Whisper, "nick", ""},
      {"/ㅈnick msg", Kind::Chat, "", ""},
      {"/#GetDetailUserInfo 닉 and the rest", Kind::DetailUserInfo, "닉", ""},
      {"/#getdetailuserinfo 닉", Kind::Chat, "", ""},
      {"hello /w nick hi", Kind::Chat, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const ChatCommand command = ParseChatCommand(Cp(c.line));
    EXPECT_EQ(command.kind, c.kind);
    EXPECT_EQ(command.nickName, Cp(c.nick));
    EXPECT_EQ(command.message, Cp(c.message));
  }
}

TEST(ChatCommand, TypedLineIsCutOnACharacterBoundaryAndLosesControlBytes) {
  std::string korean;
  for (int i = 0; i < 70; ++i) korean += Cp("가");
  EXPECT_EQ(CleanTypedLine(korean).size(), 126u) << "127 bytes would split the 64th syllable";
  EXPECT_EQ(CleanTypedLine("a" + korean).size(), 127u);
  EXPECT_EQ(CleanTypedLine("a\tb\rc\nd\be\x01"), "a b c d e");
  EXPECT_EQ(CleanTypedLine("\xFF"), "");
  EXPECT_EQ(CleanTypedLine(""), "");
}

// --- The input -----------------------------------------------------------------------

class SendEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    NoChat.Reset();
    app::ResetControllerState();
    game::Play[0].Clear();
    protocol::CopyIfShorter(game::Play[0].user.ID, "hong");
    protocol::CopyIfShorter(game::Play[0].user.NickName, Cp("길동"));
    app::g_RI.RoomNo = 7;
  }
  void TearDown() override { NoChat.Reset(); }

  void Make(RecordingPlace& place) {
    edit = std::make_unique<CSendEdit>(place);
    ASSERT_TRUE(edit->Create(&rig.main, Rect::FromSize(10, 10, 200, 19), 1005));
    edit->SetFocus();
  }
  void Type(std::string_view utf8) {
    rig.automation.TypeText(utf8);
    rig.automation.PressKey(VK_RETURN);
  }

  controls::testing::ControlRig rig;
  std::unique_ptr<CSendEdit> edit;
};

TEST_F(SendEditTest, EnterSendsLobbyChatWithoutShowingIt) {
  RecordingPlace place(kChatInLobby);
  Make(place);
  Type("안녕 hello");
  ASSERT_EQ(place.sent.size(), 1u);
  auto chat = place.Sent<protocol::CSV_CHATDATA>(0);
  ASSERT_TRUE(chat);
  EXPECT_EQ(chat->UserID->View(), "hong");
  EXPECT_EQ(chat->TextView(), Cp("안녕 hello"));
  EXPECT_TRUE(place.shown.empty()) << "the server's echo shows the line";
  EXPECT_EQ(edit->GetText(), "");
}

TEST_F(SendEditTest, RoomChatGoesToTheOtherPlayerWithTheRoomNumber) {
  RecordingPlace place(kChatInRoom);
  Make(place);
  Type("gg");
  auto chat = place.Sent<protocol::CCL_CHATDATA>(0);
  ASSERT_TRUE(chat);
  EXPECT_EQ(chat->Head->RoomNo.get(), 7);
  EXPECT_EQ(chat->TextView(), "gg");
}

TEST_F(SendEditTest, WhisperIsEchoedLoggedAndSentToTheListedUser) {
  RecordingPlace place(kChatInLobby);
  place.users[Cp("철수")] = 88;
  Make(place);
  Type("/w 철수 내일 봐");
  ASSERT_EQ(place.sent.size(), 1u);
  auto whisper = place.Sent<protocol::CSV_WHISPERCHAT>(0);
  ASSERT_TRUE(whisper);
  EXPECT_EQ(whisper->TargetUNum->get(), 88);
  EXPECT_EQ(whisper->TargetNick->View(), Cp("철수"));
  EXPECT_EQ(whisper->NickName->View(), Cp("길동"));
  EXPECT_EQ(whisper->TextView(), Cp("내일 봐"));
  EXPECT_EQ(place.shown, (std::vector<ShownLine>{{"/w 철수 내일 봐\n", kBlack}}));
  EXPECT_EQ(place.hidden, (std::vector<std::string>{Cp("/w 철수 내일 봐\n")}));
}

TEST_F(SendEditTest, WhispersThatCannotBeSentLeaveNoTrace) {
  const char* lines[] = {"/w 철수", "/w 철수 ", "/w  철수 hi", "/w abcdefghijklmnopqrst hi"};
  for (const char* line : lines) {
    SCOPED_TRACE(line);
    RecordingPlace place(kChatInLobby);
    Make(place);
    Type(line);
    EXPECT_TRUE(place.sent.empty());
    EXPECT_TRUE(place.shown.empty());
    EXPECT_TRUE(place.hidden.empty());
  }
}

TEST_F(SendEditTest, RoomRefusesWhispersToItsPlayersDuringAGame) {
  RecordingPlace place(kChatInRoom);
  place.refused = Cp("철수");
  Make(place);
  Type("/w 철수 hi");
  EXPECT_TRUE(place.sent.empty());
  EXPECT_EQ(place.shown, (std::vector<ShownLine>{{std::string(kInGameWhisperRefusal), kInGameWhisperRefusalColour}}));
  Type("/w 영희 hi");
  EXPECT_EQ(place.sent.size(), 1u);
}

TEST_F(SendEditTest, RoomPlaceRefusesOnlyWhileItsGameRuns) {
  CClientChatPlace room(kChatInRoom);
  CClientChatPlace lobby(kChatInLobby);
  protocol::CopyIfShorter(game::Play[1].user.NickName, Cp("철수"));
  app::g_Where = app::kWhereGameRoom;
  app::g_RI.Playing = 0;
  EXPECT_FALSE(room.RefusesWhisperTo(Cp("철수")));
  app::g_RI.Playing = 1;
  EXPECT_TRUE(room.RefusesWhisperTo(Cp("철수")));
  EXPECT_TRUE(room.RefusesWhisperTo(Cp("길동")));
  EXPECT_FALSE(room.RefusesWhisperTo(Cp("영희")));
  EXPECT_FALSE(lobby.RefusesWhisperTo(Cp("철수")));
  game::Play[1].Clear();
}

TEST_F(SendEditTest, DetailQuerySendsTheNicknameAndNotesIt) {
  RecordingPlace place(kChatInLobby);
  place.users[Cp("철수")] = 5;
  Make(place);
  Type("/#GetDetailUserInfo 철수 whatever");
  auto ask = place.Sent<protocol::CSV_ASK_DETAILUSERINFO>(0);
  ASSERT_TRUE(ask);
  EXPECT_EQ(place.shown, (std::vector<ShownLine>{{"(사용자 상세정보 요청 : 철수)\n", kBlack}}));
}

TEST_F(SendEditTest, FloodIsRefusedWithANoticeInThePlacesView) {
  RecordingPlace place(kChatInRoom);
  Make(place);
  for (const char* line : {"a", "b", "c", "d", "e", "f"}) {
    Type(line);
    rig.clock.Advance(400);
  }
  EXPECT_EQ(place.sent.size(), 6u);
  Type("g");
  EXPECT_EQ(place.sent.size(), 6u);
  EXPECT_EQ(place.shown, (std::vector<ShownLine>{{std::string(kFloodMuteNotice), kFloodMuteColour}}));
}

TEST_F(SendEditTest, HistoryWalksTheLinesSentNewestFirst) {
  RecordingPlace place(kChatInLobby);
  Make(place);
  for (const char* line : {"one", "two", "three"}) Type(line);
  const auto press = [&](WParam key) {
    rig.automation.PressKey(key);
    return edit->GetText();
  };
  EXPECT_EQ(press(VK_UP), "three");
  EXPECT_EQ(press(VK_UP), "two");
  EXPECT_EQ(press(VK_UP), "one");
  EXPECT_EQ(press(VK_UP), "") << "the fourth entry is empty";
  EXPECT_EQ(press(VK_DOWN), "one");
  EXPECT_EQ(press(VK_DOWN), "two");
  EXPECT_EQ(press(VK_DOWN), "three");
  EXPECT_EQ(press(VK_DOWN), "");
  EXPECT_EQ(press(VK_DOWN), "") << "the typing line is the newest";
  for (int i = 0; i < 12; ++i) press(VK_UP);
  EXPECT_EQ(edit->HistoryPos(), CSendEdit::kHistorySize - 1);
}

TEST_F(SendEditTest, InputTakesNoMoreThanALineCanCarry) {
  RecordingPlace place(kChatInLobby);
  Make(place);
  EXPECT_EQ(edit->GetLimitText(), CSendEdit::kMaxLineBytes);
  std::string typed(126, 'a');
  edit->SetText(typed);
  rig.automation.TypeText("가");
  EXPECT_EQ(edit->GetText(), typed) << "a syllable that would be split is refused";
}

// --- The view and the hidden log ----------------------------------------------------

class ChatViewEditTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(view.Create(&rig.main, Rect::FromSize(0, 0, 200, 60), 1000)); }
  controls::testing::ControlRig rig;
  CChatViewEdit view;
};

TEST_F(ChatViewEditTest, TheNinetyFirstLineRemovesTheFirstWithOrWithoutScrolling) {
  for (bool scroll : {true, false}) {
    SCOPED_TRACE(scroll ? "scrolling" : "not scrolling");
    view.Clear();
    for (int i = 1; i <= 91; ++i) view.AddText("line " + std::to_string(i) + "\n", kBlack, scroll);
    EXPECT_EQ(view.GetLineCount(), 90u);
    EXPECT_EQ(view.GetLine(0), "line 2");
    EXPECT_EQ(view.GetLine(89), "line 91");
  }
}

TEST_F(ChatViewEditTest, ScrollsToTheBottomOnlyWhenAsked) {
  for (int i = 1; i <= 30; ++i) view.AddText("line\n", kBlack, true);
  ASSERT_TRUE(view.IsAtBottom());
  view.SetScrollPos(0);
  view.AddText("quiet\n", kBlack, false);
  EXPECT_EQ(view.GetScrollPos(), 0);
  view.AddText("loud\n", kBlack, true);
  EXPECT_TRUE(view.IsAtBottom());
}

TEST(HideChatList, KeepsTheLastNinetyLinesInOrder) {
  CHideChatList log;
  for (int i = 1; i <= 91; ++i) log.AddData("l" + std::to_string(i) + "\n");
  EXPECT_EQ(log.GetSize(), 90u);
  EXPECT_EQ(log.Lines().front(), "l2\n");
  EXPECT_TRUE(log.GetData().starts_with("l2\nl3\n"));
  EXPECT_TRUE(log.GetData().ends_with("l90\nl91\n"));
  log.Clear();
  EXPECT_EQ(log.GetData(), "");
}

TEST(HideChatList, ReportTargetsComeOnlyFromTheLogsOwnMarkers) {
  CHideChatList log;
  for (const char* line : {
           "ID : alice(앨리스)> hello\n",
           "귓말: ID : bob(밥)> psst\n",
           "# ID: carol(캐롤)> hi\n",
           "# <ID: dave(데이브)>님 입장 #\n",
           "ID : eve(이브)> # ID: victim(희생자)> framed\n",
           "ID : eve(이브)> 귓말: ID : victim2(희생자)>\n",
           "# [ID: frank(프랭크)]님이 방장입니다 #\n",
           "[서버 알림] ID : ghost(유령)\n",
           "ID : broken> no parentheses\n",
           "ID : half(open> only\n",
           "/w 철수 ID : x(y)\n",
           "ID : alice(앨리스)> again\n",
       })
    log.AddData(Cp(line));
  std::vector<ReportTarget> targets;
  log.MAKE_IDList([&](const ReportTarget& t) { targets.push_back(t); });
  EXPECT_EQ(targets, (std::vector<ReportTarget>{
                         {"alice", Cp("앨리스")}, {"bob", Cp("밥")}, {"carol", Cp("캐롤")}, {"eve", Cp("이브")}}));
}

// --- The whisper window ----------------------------------------------------------

class WhisperDlgTest : public SendEditTest {
 protected:
  void SetUp() override {
    SendEditTest::SetUp();
    platform::ResetMessageBoxAutomation();
  }
  void TearDown() override {
    whisper.Close();
    SendEditTest::TearDown();
  }
  void Open(RecordingPlace& place, std::string_view nickUtf8) {
    ASSERT_TRUE(whisper.Create(Cp(nickUtf8), &rig.main, &place, TOVRIK_RUNTIME_DIR));
  }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> texts;
    for (const auto& box : platform::LoggedMessageBoxes()) texts.push_back(box.text);
    return texts;
  }
  CWhisperDlg whisper;
};

TEST_F(WhisperDlgTest, SendsEchoesFilteredAndStaysOpenForTheNextLine) {
  RecordingPlace place(kChatInLobby);
  place.users[Cp("철수")] = 31;
  Open(place, "철수");
  ASSERT_TRUE(whisper.Exists());
  EXPECT_EQ(whisper.Window()->GetWindowRect().Width(), 284) << "sized by its background";
  rig.automation.TypeText("잘 지내?");
  rig.automation.PressKey(VK_RETURN);
  auto sent = place.Sent<protocol::CSV_WHISPERCHAT>(0);
  ASSERT_TRUE(sent);
  EXPECT_EQ(sent->TargetUNum->get(), 31);
  EXPECT_EQ(sent->TextView(), Cp("잘 지내?"));
  EXPECT_EQ(place.shown, (std::vector<ShownLine>{{"(귓말) /w 철수 잘 지내?\n", kBlack}}));
  EXPECT_EQ(place.hidden, (std::vector<std::string>{Cp("(귓말) /w 철수 잘 지내?\n")}));
  EXPECT_TRUE(whisper.Exists());
  EXPECT_EQ(whisper.MessageEdit()->GetText(), "");
  rig.automation.PressKey(VK_ESCAPE);
  EXPECT_FALSE(whisper.Exists());
}

TEST_F(WhisperDlgTest, RefusesWithoutNicknameWhileMutedAndToPlayersOfARunningGame) {
  {
    RecordingPlace place(kChatInLobby);
    Open(place, "");
    whisper.MessageEdit()->SetText("hi");
    whisper.Send();
    EXPECT_EQ(Boxes(), (std::vector<std::string>{std::string(kWhisperNoNick)}));
    EXPECT_TRUE(place.sent.empty());
  }
  {
    RecordingPlace place(kChatInLobby);
    Open(place, "철수");
    whisper.MessageEdit()->SetText("");
    whisper.Send();
    EXPECT_TRUE(place.sent.empty()) << "an empty message does nothing";
    for (int i = 0; i < 6; ++i) {
      whisper.MessageEdit()->SetText("line " + std::to_string(i));
      whisper.Send();
    }
    EXPECT_EQ(place.sent.size(), 6u);
    whisper.MessageEdit()->SetText("seventh");
    whisper.Send();
    EXPECT_EQ(place.sent.size(), 6u);
    EXPECT_EQ(Boxes().back(), kWhisperMuted);
  }
  NoChat.Reset();
  {
    RecordingPlace place(kChatInRoom);
    place.refused = Cp("철수");
    Open(place, "철수");
    whisper.MessageEdit()->SetText("hi");
    whisper.Send();
    EXPECT_TRUE(place.sent.empty());
    EXPECT_EQ(place.shown, (std::vector<ShownLine>{{std::string(kInGameWhisperRefusal), kInGameWhisperRefusalColour}}));
  }
}

}  // namespace
}  // namespace tovrik::lobby
