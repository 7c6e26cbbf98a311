// Chat, whispers, invitations, relay inside a room, notices, and peers that
// break the protocol, over real sockets against tovrik-server.
#include <gtest/gtest.h>
#include <signal.h>

#include <fstream>

#include "ServerHarness.h"
#include "TwoUsersFixture.h"
#include "net/MsgHeader.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/TextField.h"
#include "server/Cp949.h"

namespace tovrik::server::testing {
namespace {

namespace msgid = protocol::msgid;

constexpr const char* kConfig = R"(
[Server1]
LoginGroup = 1
[Server2]
LoginGroup = 2
[Group1]
Name = free
[Channel1-1]
Server = 1
[Channel1-2]
Server = 2
)";

std::vector<std::uint8_t> Chat(const std::string& id, const std::string& text) {
  return BuildFrame<protocol::CSV_CHATDATA>(id, text);
}

std::vector<std::uint8_t> Whisper(const TestClient& from, std::int32_t targetUnum, const std::string& targetNick,
                                  const std::string& text) {
  return BuildFrame<protocol::CSV_WHISPERCHAT>(from.Id(), from.Nick(), targetUnum, targetNick, text);
}

class ChatRelayTest : public TwoUsersFixture {
 protected:
  ChatRelayTest() : TwoUsersFixture(kConfig) {}


  int CreateAndJoinRoom() { return OpenRoom(alice_, bob_); }

};

TEST_F(ChatRelayTest, LobbyChatReachesEveryoneInTheLobbyWithTheRealSender) {
  alice_.SendFrame(Chat("mallory", "hi all"));  // a lie about the sender
  for (TestClient* client : {&alice_, &bob_}) {
    const auto line = client->WaitFor(msgid::CSV_CHATDATA);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->Text(0, 16), "alice");
    EXPECT_EQ(line->I16(16), 6);
    EXPECT_EQ(line->Bytes(18, 6), "hi all");
  }
}

TEST_F(ChatRelayTest, WhisperRefusedWhisperAndWhisperToAnotherServer) {
  alice_.SendFrame(Whisper(alice_, bob_.UNum(), "bob", "psst"));
  const auto whisper = bob_.WaitFor(msgid::CSV_WHISPERCHAT);
  ASSERT_TRUE(whisper);
  EXPECT_EQ(whisper->Text(0, 16), "alice");
  EXPECT_EQ(whisper->Text(16, 20), "alice");
  EXPECT_EQ(whisper->I16(60), 4);
  EXPECT_EQ(whisper->Bytes(62, 4), "psst");

  bob_.Send<protocol::CSV_NOWHISPER>(1);
  bob_.Send<protocol::CSV_ASK_ALLROOMINFO>();  // the refusal is in place once this is answered
  ASSERT_TRUE(bob_.WaitFor(msgid::CSV_ALLROOMINFO));
  alice_.SendFrame(Whisper(alice_, bob_.UNum(), "bob", "again"));
  const auto notice = alice_.WaitFor(msgid::CSV_SERVERMSG);
  ASSERT_TRUE(notice);
  EXPECT_EQ(notice->I32(0), 0);
  EXPECT_EQ(notice->Bytes(6, static_cast<std::size_t>(notice->I16(4))),
            Utf8ToCp949("[bob]님은 귓말을 거부하고 있습니다."));
  EXPECT_TRUE(bob_.Quiet(msgid::CSV_WHISPERCHAT));

  alice_.SendFrame(Whisper(alice_, -1, "nobody", "hello?"));
  const auto absent = alice_.WaitFor(msgid::CSV_SERVERMSG);
  ASSERT_TRUE(absent);
  EXPECT_EQ(absent->Bytes(6, static_cast<std::size_t>(absent->I16(4))),
            Utf8ToCp949("[nobody]님은 현재 접속중이 아닙니다."));

  // Carol is on the other game server: the whisper goes through the database.
  TestClient carol;
  ASSERT_TRUE(carol.Login(server_.Master(), "carol", 2));
  ASSERT_NE(carol.Game().port, alice_.Game().port);
  alice_.SendFrame(Whisper(alice_, -1, "carol", "far away"));
  const auto far = carol.WaitFor(msgid::CSV_WHISPERCHAT);
  ASSERT_TRUE(far);
  EXPECT_EQ(far->Text(0, 16), "alice");
  carol.Send<protocol::CSV_NOWHISPER>(1);
  carol.Send<protocol::CSV_ASK_ALLUSERINFO>();  // the refusal is in place once this is answered
  ASSERT_TRUE(carol.WaitFor(msgid::CSV_ALLUSERINFO));
  alice_.SendFrame(Whisper(alice_, -1, "carol", "still there?"));
  const auto refusedFar = alice_.WaitFor(msgid::CSV_SERVERMSG);
  ASSERT_TRUE(refusedFar);
  EXPECT_EQ(refusedFar->Bytes(6, static_cast<std::size_t>(refusedFar->I16(4))),
            Utf8ToCp949("[carol]님은 귓말을 거부하고 있습니다."));
}

TEST_F(ChatRelayTest, InvitationAndItsRefusal) {
  TestClient carol;
  ASSERT_TRUE(carol.Login(server_.Master(), "carol", 1));
  const int roomNo = CreateAndJoinRoom();
  ASSERT_GT(roomNo, 0);
  alice_.Send<protocol::CSV_LOBYOPEN>(1);
  const auto lobbyList = alice_.WaitFor(msgid::CSV_ALLUSERINFO);
  ASSERT_TRUE(lobbyList) << "opening the lobby view sends the user list";

  protocol::USERINFO forged;
  protocol::CopyIfShorter(forged.ID, "mallory");
  const std::string text = "come play";
  alice_.Send<protocol::CSV_ASK_INVITE>(carol.UNum(), "carol", 999, "", forged, text);
  const auto invitation = carol.WaitFor(msgid::CSV_ASK_INVITE);
  ASSERT_TRUE(invitation);
  EXPECT_EQ(invitation->I32(20), roomNo) << "the server names the inviter's real room";
  EXPECT_EQ(protocol::ReadText(invitation->As<protocol::USERINFO>(29).ID), "alice");
  EXPECT_EQ(invitation->I32(29 + 212), 9);
  EXPECT_EQ(invitation->Bytes(29 + 216, 9), text);

  const std::string no = "no thanks";
  carol.Send<protocol::CSV_REFUSE_INVITE>(alice_.UNum(), "alice", "carol", no);
  const auto refusal = alice_.WaitFor(msgid::CSV_REFUSE_INVITE);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->Text(20, 16), "carol");
  EXPECT_EQ(refusal->Bytes(40, no.size()), no);

  // A lobby user cannot invite, and nobody invites a user who is in a room.
  carol.Send<protocol::CSV_ASK_INVITE>(bob_.UNum(), "bob", roomNo, "", protocol::USERINFO{}, "");
  EXPECT_TRUE(bob_.Quiet(msgid::CSV_ASK_INVITE));
}

TEST_F(ChatRelayTest, RelayEchoesToBothMembersAndChecksRoomAndSender) {
  const int roomNo = CreateAndJoinRoom();
  ASSERT_GT(roomNo, 0);
  bob_.Send<protocol::CCL_READYTOSTART>("bob");
  for (TestClient* client : {&alice_, &bob_}) {
    const auto echo = client->WaitFor(msgid::CCL_READYTOSTART);
    ASSERT_TRUE(echo);
    EXPECT_EQ(echo->Text(0, 16), "bob");
  }

  const std::string line = "gg";
  alice_.Send<protocol::CCL_CHATDATA>(roomNo, "alice", line);
  ASSERT_TRUE(bob_.WaitFor(msgid::CCL_CHATDATA));
  ASSERT_TRUE(alice_.WaitFor(msgid::CCL_CHATDATA));

  alice_.Send<protocol::CCL_CHATDATA>(roomNo + 1, "alice", line);
  protocol::STONECLICK impostor;
  protocol::SetRelayID(impostor.ID, "bob");
  impostor.StoneIndex = 3;
  alice_.Send<protocol::CCL_STONECLICK>(impostor);
  protocol::NEXTPLAYER serverOnly;
  protocol::SetRelayID(serverOnly.ID, "alice");
  alice_.Send<protocol::CCL_NEXTPLAYER>(serverOnly);
  EXPECT_TRUE(bob_.Quiet(msgid::CCL_CHATDATA));
  EXPECT_TRUE(bob_.Quiet(msgid::CCL_STONECLICK));
  EXPECT_TRUE(bob_.Quiet(msgid::CCL_NEXTPLAYER));

  // Outside a room nothing is relayed, and the connection stays.
  TestClient carol;
  ASSERT_TRUE(carol.Login(server_.Master(), "carol", 1));
  carol.Send<protocol::CCL_READYTOSTART>("carol");
  EXPECT_TRUE(alice_.Quiet(msgid::CCL_READYTOSTART));
  carol.SendFrame(Chat("carol", "still here"));
  EXPECT_TRUE(carol.WaitFor(msgid::CSV_CHATDATA));
}

TEST_F(ChatRelayTest, BrokenPeersAreDisconnectedWhileOthersCarryOn) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
  };
  // A frame with a lying length: the header announces far more than any client sends.
  auto lying = SealFrame(Chat("x", ""), 1);
  net::WriteU32(reinterpret_cast<char*>(lying.data()) + net::kOffDataLen, 0x7FFFFFF0u);
  // A frame whose payload was changed after scrambling.
  auto tampered = SealFrame(Chat("x", "hello"), 1);
  tampered.back() ^= 0x55;
  // A frame with a short payload for its message.
  // An entry request cut after its room number, its length fixed to match.
  auto shortEnter = BuildFrame<protocol::CSV_ASK_ENTERROOM>(1, 1, "x", "");
  shortEnter.resize(16 + 4);
  net::WriteU32(reinterpret_cast<char*>(shortEnter.data()) + net::kOffDataLen, 4);
  const Case cases[] = {
      {"garbage", std::vector<std::uint8_t>(64, 0xAB)},
      {"lying length", lying},
      {"tampered payload", tampered},
      {"short message", SealFrame(shortEnter, 1)},
  };
  for (const auto& c : cases) {
    TestClient broken;
    ASSERT_TRUE(broken.Login(server_.Master(), "broken", 1)) << c.what;
    broken.SendRaw(c.bytes);
    EXPECT_TRUE(broken.WaitClosed()) << c.what;
    const auto gone = alice_.WaitFor(msgid::CSV_OUTUSER);
    ASSERT_TRUE(gone) << c.what;
    EXPECT_EQ(protocol::ReadText(gone->As<protocol::SMALLUSERINFO>().ID), "broken") << c.what;
    alice_.DropQueued();
  }
  // Frames before login other than the login itself end the connection too.
  TestClient early(server_.Games()[0]);
  ASSERT_TRUE(early.WaitFor(msgid::CSV_CHECKVERSION));
  early.SendFrame(Chat("x", "hi"));
  EXPECT_TRUE(early.WaitClosed());

  alice_.SendFrame(Chat("alice", "still fine"));
  EXPECT_TRUE(bob_.WaitFor(msgid::CSV_CHATDATA));
}

TEST(OperatorNoticeTest, NoticeFileIsSentToEveryUserOnSignal) {
  const auto file = std::filesystem::temp_directory_path() / ("tovrik-notice-" + std::to_string(::getpid()));
  std::ofstream(file) << "점검 안내\n";
  ServerUnderTest server{kConfig, {"--master-port", "0", "--game-port", "0", "--notice-file", file.string()}};
  ASSERT_TRUE(server.Running()) << server.Log();
  TestClient alice;
  ASSERT_TRUE(alice.Login(server.Master(), "alice", 1));
  server.Signal(SIGUSR1);
  const auto notice = alice.WaitFor(msgid::CSV_SERVERMSG);
  std::filesystem::remove(file);
  ASSERT_TRUE(notice) << server.Log();
  EXPECT_EQ(notice->I32(0), 0);
  EXPECT_EQ(notice->Bytes(6, static_cast<std::size_t>(notice->I16(4))), Utf8ToCp949("점검 안내"));
}

}  // namespace
}  // namespace tovrik::server::testing
