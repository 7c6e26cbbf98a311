// Clients that lie, pry or forge, over real sockets against tovrik-server:
// impostor nicknames, other users' money, oversized room chat and forged
// log lines. Each case is one a hostile client really tried.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ServerHarness.h"
#include "TwoUsersFixture.h"
#include "SqlStatement.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/TextField.h"
#include "server/Cp949.h"

namespace tovrik::server::testing {
namespace {

namespace msgid = protocol::msgid;

constexpr const char* kConfig = R"(
[Rules]
StartMoney = 777
Operators = root
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

class HostileClientTest : public TwoUsersFixture {
 protected:
  HostileClientTest() : TwoUsersFixture(kConfig) {}


  // The money CSV_USERINFO tells `asker` about `id`; -1 when no answer came.
  static int MoneyShown(TestClient& asker, std::int32_t unum, const std::string& id) {
    asker.Send<protocol::CSV_ASK_USERINFO>(unum, id);
    const auto answer = asker.WaitFor(msgid::CSV_USERINFO);
    if (!answer) return -1;
    const auto info = answer->As<protocol::USERINFO>();
    EXPECT_EQ(protocol::ReadText(info.ID), id);
    return info.Pebble;
  }

};

TEST_F(HostileClientTest, ANicknameBelongsToOneUser) {
  TestClient mallory;
  std::string refusal;
  EXPECT_FALSE(mallory.Login(server_.Master(), "id=mallory&nick=alice", 1, &refusal));
  EXPECT_EQ(refusal, Utf8ToCp949("이미 다른 사용자가 쓰고 있는 닉네임입니다. 다른 닉네임으로 접속해 주십시오."));
  // A nickname another user registered as its login id is taken as well,
  // and a refused registration leaves no user behind.
  EXPECT_FALSE(mallory.Login(server_.Master(), "id=mallory&nick=bob", 1));
  ASSERT_TRUE(mallory.Login(server_.Master(), "id=mallory&nick=mal", 1));
  EXPECT_EQ(mallory.Nick(), "mal");

  // Whispers to alice's nickname still reach alice.
  bob_.Send<protocol::CSV_WHISPERCHAT>("bob", "bob", -1, "alice", "for alice");
  const auto whisper = alice_.WaitFor(msgid::CSV_WHISPERCHAT);
  ASSERT_TRUE(whisper);
  EXPECT_TRUE(mallory.Quiet(msgid::CSV_WHISPERCHAT));
}

TEST(NicknameStartTest, DuplicateNicknamesOfAnOlderDatabaseAreRenamedOnStart) {
  std::filesystem::path database;
  {
    ServerUnderTest first{kConfig};
    ASSERT_TRUE(first.Running()) << first.Log();
    database = first.Directory().parent_path() / ("tovrik-nick-" + std::to_string(::getpid()) + ".db");
    ASSERT_EQ(first.Stop(), 0);
    std::filesystem::copy_file(first.Database(), database, std::filesystem::copy_options::overwrite_existing);
  }
  // A file written before nicknames were unique.
  ASSERT_TRUE(ExecSql(database,
                      "DROP INDEX IF EXISTS users_by_nickname;"
                      "INSERT INTO users (login_id, nickname, money) VALUES ('alice', 'twin', 1), ('bob', 'twin', 2),"
                      "('carol', 'twin', 3), ('dave', 'carol', 4);"));
  ServerUnderTest server{kConfig, {"--master-port", "0", "--game-port", "0", "--game-port", "0"}, database};
  ASSERT_TRUE(server.Running()) << server.Log();
  struct Case {
    const char* login;
    const char* nickname;
  };
  // The oldest keeps the name; the others get their login id, or the login
  // id with a number when another user already has it as a nickname.
  const Case cases[] = {{"alice", "twin"}, {"bob", "bob"}, {"carol", "carol~2"}, {"dave", "carol"}};
  for (const Case& c : cases) {
    TestClient client;
    ASSERT_TRUE(client.Login(server.Master(), c.login, 1)) << c.login << "\n" << server.Log();
    EXPECT_EQ(client.Nick(), c.nickname) << c.login;
  }
  std::filesystem::remove(database);
}

TEST_F(HostileClientTest, MoneyIsShownOnlyToItsOwnerOperatorsAndTheOtherPlayer) {
  TestClient root;
  ASSERT_TRUE(root.Login(server_.Master(), "root", 1));
  TestClient carol;
  ASSERT_TRUE(carol.Login(server_.Master(), "carol", 2));  // on the other game server
  carol.Close();                                           // and then offline

  EXPECT_EQ(MoneyShown(bob_, alice_.UNum(), "alice"), 0) << "a user in the same lobby";
  EXPECT_EQ(MoneyShown(bob_, -1, "carol"), 0) << "an offline user, by login id";
  EXPECT_EQ(MoneyShown(alice_, alice_.UNum(), "alice"), 777) << "one's own";
  EXPECT_EQ(MoneyShown(root, alice_.UNum(), "alice"), 777) << "an operator";
  EXPECT_EQ(MoneyShown(root, -1, "carol"), 777) << "an operator, offline user";

  const int roomNo = OpenRoom(alice_, bob_);
  ASSERT_GT(roomNo, 0);
  EXPECT_EQ(MoneyShown(bob_, alice_.UNum(), "alice"), 777) << "the other player of one's room";

  // Nor do the room preview and an invitation tell the lobby.
  for (TestClient* asker : {&root, &carol}) {
    if (asker == &carol) {  // braces: ASSERT_TRUE is an if/else of its own
      ASSERT_TRUE(carol.Login(server_.Master(), "carol", 1));
    }
    asker->Send<protocol::CSV_ASK_ROOMINFO>(roomNo);
    const auto preview = asker->WaitFor(msgid::CSV_ROOMINFO);
    ASSERT_TRUE(preview);
    const auto game = preview->As<protocol::GAMEINFO>(4);
    for (const auto& player : game.UI) {
      EXPECT_EQ(player.Pebble, asker == &root ? 777 : 0) << protocol::ReadText(player.ID) << " to " << asker->Id();
    }
  }
  alice_.Send<protocol::CSV_ASK_INVITE>(carol.UNum(), "carol", roomNo, "", protocol::USERINFO{}, "come");
  const auto invitation = carol.WaitFor(msgid::CSV_ASK_INVITE);
  ASSERT_TRUE(invitation);
  EXPECT_EQ(protocol::ReadText(invitation->As<protocol::USERINFO>(29).ID), "alice");
  EXPECT_EQ(invitation->As<protocol::USERINFO>(29).Pebble, 0);
}

TEST_F(HostileClientTest, RoomChatIsCutTo512BytesOnACharacterBoundary) {
  const int roomNo = OpenRoom(alice_, bob_);
  ASSERT_GT(roomNo, 0);
  // One byte, then two-byte characters: 512 bytes would end inside one.
  std::string text = "a";
  while (text.size() < 32000) text += Utf8ToCp949("가");
  alice_.Send<protocol::CCL_CHATDATA>(roomNo, "alice", text);
  for (TestClient* client : {&alice_, &bob_}) {
    const auto line = client->WaitFor(msgid::CCL_CHATDATA);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->I32(0), roomNo);
    EXPECT_EQ(line->Text(4, 16), "alice");
    EXPECT_EQ(line->I16(21), 511);
    EXPECT_EQ(line->payload.size(), 23u + 511u);
    EXPECT_EQ(line->Bytes(23, 511), text.substr(0, 511));
  }
  // A short line goes as it came.
  alice_.Send<protocol::CCL_CHATDATA>(roomNo, "alice", "gg");
  const auto line = bob_.WaitFor(msgid::CCL_CHATDATA);
  ASSERT_TRUE(line);
  EXPECT_EQ(line->Bytes(23, 2), "gg");
}

TEST_F(HostileClientTest, AnAbandonedChannelMoveLocksOutOnlyUntilItsTicketExpires) {
  alice_.Send<protocol::CSV_ASK_ENTERCHAN>(1, 2);  // on the other game server
  ASSERT_TRUE(alice_.WaitFor(msgid::CSV_DESTCHANNELINFO));
  alice_.Close();  // and never goes there

  TestClient again;
  std::string refusal;
  EXPECT_FALSE(again.Login(server_.Master(), "alice", 1, &refusal)) << "the move may still be completed";
  EXPECT_EQ(refusal, Utf8ToCp949("이미 접속중인 아이디입니다."));
  // The ticket's minute is over (the other server's heartbeat goes on).
  ASSERT_TRUE(ExecSql(server_.Database(), "UPDATE tickets SET expires = 0 WHERE kind = 2"));
  ASSERT_TRUE(again.Login(server_.Master(), "alice", 1));
  // And the whisper search finds her where she is now.
  bob_.Send<protocol::CSV_ASK_FINDID>("alice");
  const auto found = bob_.WaitFor(msgid::CSV_RESULT_FINDID);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->As<protocol::FINDIDRESULT>().ChanNo, 1);
}

TEST_F(HostileClientTest, SecretRoomPasswordsCannotBeGuessedQuickly) {
  protocol::ROOMINFO request;
  protocol::CopyIfShorter(request.Title, "secret");
  request.MaxUser = 2;
  request.BetPebble = 100;
  request.Secret = 1;
  protocol::CopyAtMost(request.Password, "1234", 4);
  alice_.Send<protocol::CSV_ASK_CREATEROOM>(request);
  const auto created = alice_.WaitFor(msgid::CSV_ACCEPT_CREATEROOM);
  ASSERT_TRUE(created);
  const int roomNo = created->As<protocol::ROOMINFO>().RoomNo;
  auto enter = [&](const char* password) {
    bob_.Send<protocol::CSV_ASK_ENTERROOM>(roomNo, bob_.UNum(), "bob", password);
    for (;;) {
      const auto answer = bob_.WaitFor(msgid::CSV_REFUSE_ENTERROOM, std::chrono::milliseconds(100));
      if (answer) return answer->I32(0);
      if (bob_.WaitFor(msgid::CSV_ACCEPT_ENTERROOM, std::chrono::milliseconds(1))) return 0;
    }
  };
  for (const char* guess : {"0000", "0001", "0002"}) EXPECT_EQ(enter(guess), 6) << guess;
  EXPECT_EQ(enter("1234"), 6) << "right at once after the free tries: refused unchecked";
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  EXPECT_EQ(enter("1234"), 0) << "after the wait the password is checked";
}

TEST_F(HostileClientTest, PeerTextsCannotForgeLogLines) {
  // Ids end up in log lines: as the user a super-room master removes, as
  // the target of an invitation.
  bob_.Send<protocol::CSV_ASK_FORCEBANISH>("x\nFORGED error");
  bob_.Send<protocol::CSV_ASK_INVITE>(alice_.UNum(), "y\rFORGED\x1b[2J", 1, "", protocol::USERINFO{}, "");
  bob_.Send<protocol::CSV_ASK_ALLROOMINFO>();  // both are handled once this is answered
  ASSERT_TRUE(bob_.WaitFor(msgid::CSV_ALLROOMINFO));
  const std::string log = server_.Log();
  EXPECT_NE(log.find("x\\x0aFORGED error"), std::string::npos) << log;
  EXPECT_NE(log.find("y\\x0dFORGED\\x1b[2J"), std::string::npos) << log;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_NE(line.rfind("FORGED", 0), 0u) << line;
    EXPECT_EQ(line.find('\r'), std::string::npos) << line;
    EXPECT_EQ(line.find('\x1b'), std::string::npos) << line;
  }
}

// Sends the frame `count` times as fast as the socket takes it, in one go.
void Flood(TestClient& client, const std::vector<std::uint8_t>& frame, int count) {
  std::vector<std::uint8_t> burst;
  for (int i = 0; i < count; ++i) {
    const auto sealed = SealFrame(frame, static_cast<std::uint16_t>(i + 1));
    burst.insert(burst.end(), sealed.begin(), sealed.end());
  }
  client.SendRaw(burst);
}

TEST_F(HostileClientTest, FloodersAreSlowedAndThenDroppedAndTheDatabaseStaysSmall) {
  const std::string longText(16000, 'r');
  struct Case {
    const char* what;
    std::vector<std::uint8_t> frame;
    int count;
    std::int16_t answer;  // what bob (or the flooder itself) gets for each one admitted
    bool toBob;
    int most;  // at most this many answers
  };
  const Case cases[] = {
      {"lobby chat", BuildFrame<protocol::CSV_CHATDATA>("mallory", "spam"), 3000, msgid::CSV_CHATDATA, true, 16},
      // The limits belong to the user: logging in again brings no new burst.
      {"lobby chat again", BuildFrame<protocol::CSV_CHATDATA>("mallory", "spam"), 3000, msgid::CSV_CHATDATA, true,
       7},
      {"whispers", BuildFrame<protocol::CSV_WHISPERCHAT>("mallory", "mallory", bob_.UNum(), "bob", "psst"), 3000,
       msgid::CSV_WHISPERCHAT, true, 16},
      {"profile queries", BuildFrame<protocol::CSV_ASK_USERINFO>(alice_.UNum(), "alice"), 3000, msgid::CSV_USERINFO,
       false, 30},
  };
  for (const Case& c : cases) {
    TestClient mallory;
    ASSERT_TRUE(mallory.Login(server_.Master(), "mallory", 1)) << c.what;
    bob_.DropQueued();
    Flood(mallory, c.frame, c.count);
    TestClient& counter = c.toBob ? bob_ : mallory;
    EXPECT_LE(counter.Count(c.answer, std::chrono::milliseconds(1500)), c.most) << c.what;
    EXPECT_TRUE(mallory.WaitClosed()) << c.what << ": a flooder that keeps on is dropped";
    ASSERT_TRUE(bob_.WaitFor(msgid::CSV_OUTUSER)) << c.what;
  }

  // Room messages: alice floods bob, her opponent, with readiness.
  ASSERT_GT(OpenRoom(alice_, bob_), 0);
  Flood(alice_, BuildFrame<protocol::CCL_READYTOSTART>("alice"), 5000);
  EXPECT_LE(bob_.Count(msgid::CCL_READYTOSTART, std::chrono::milliseconds(1500)), 120);
  EXPECT_TRUE(alice_.WaitClosed());
  ASSERT_TRUE(alice_.Login(server_.Master(), "alice", 1));

  // Reports: a few are stored, then the reporter is slowed down and dropped.
  TestClient mallory;
  ASSERT_TRUE(mallory.Login(server_.Master(), "mallory", 1));
  Flood(mallory, BuildFrame<protocol::CSV_ASK_BADUSER>(0, 0, mallory.UNum(), "mallory", "bob", "bob", "spam",
                                                       longText, longText),
        40);
  EXPECT_TRUE(mallory.WaitClosed());
  EXPECT_LE(QueryInt(server_.Database(), "SELECT COUNT(*) FROM reports"), 3);

  // And the others carry on.
  alice_.Send<protocol::CSV_CHATDATA>("alice", "still here");
  EXPECT_TRUE(alice_.WaitFor(msgid::CSV_CHATDATA));
  bob_.Send<protocol::CSV_ASK_ALLROOMINFO>();
  EXPECT_TRUE(bob_.WaitFor(msgid::CSV_ALLROOMINFO));
}

TEST_F(HostileClientTest, AMasterConnectionGetsAFewTicketsAndNoMore) {
  TestClient flooder(server_.Master());
  ASSERT_TRUE(flooder.WaitFor(msgid::CMS_CHECKVERSION));
  Flood(flooder, BuildFrame<protocol::CMS_ASK_DESTSERVERINFO>(1), 2000);
  EXPECT_TRUE(flooder.WaitClosed());
  EXPECT_LE(QueryInt(server_.Database(), "SELECT COUNT(*) FROM tickets"), 3);
}

TEST_F(HostileClientTest, ASlowReaderOutlastsAFloodAimedAtIt) {
  bob_.ShrinkReceiveBuffer(16 * 1024);
  std::atomic<bool> stop{false};
  // Mallory floods the lobby and bob's whispers with full-length lines,
  // logging in again whenever she is dropped.
  std::thread flood([&] {
    const std::string line(512, 'w');
    while (!stop) {
      TestClient mallory;
      if (!mallory.Login(server_.Master(), "mallory", 1)) continue;
      std::vector<std::uint8_t> burst;
      for (int i = 0; i < 200; ++i) {
        const auto chat = SealFrame(BuildFrame<protocol::CSV_CHATDATA>("mallory", line), static_cast<std::uint16_t>(2 * i + 1));
        const auto whisper = SealFrame(
            BuildFrame<protocol::CSV_WHISPERCHAT>("mallory", "mallory", bob_.UNum(), "bob", line),
            static_cast<std::uint16_t>(2 * i + 2));
        burst.insert(burst.end(), chat.begin(), chat.end());
        burst.insert(burst.end(), whisper.begin(), whisper.end());
      }
      while (!stop && mallory.SendRaw(burst)) mallory.DiscardAvailable();
    }
  });
  const bool readerStayed = bob_.ReadSlowly(256 * 1024, std::chrono::milliseconds(3000));
  // A well-behaved user's own line comes back at once, flood or not.
  alice_.DropQueued();
  const auto said = std::chrono::steady_clock::now();
  alice_.Send<protocol::CSV_CHATDATA>("alice", "hello");
  bool echoed = false;
  while (!echoed) {
    const auto line = alice_.WaitFor(msgid::CSV_CHATDATA, std::chrono::milliseconds(1000));
    if (!line) break;
    echoed = line->Text(0, 16) == "alice";
  }
  const auto echo = std::chrono::steady_clock::now() - said;
  stop = true;
  flood.join();
  EXPECT_TRUE(readerStayed);
  EXPECT_TRUE(echoed);
  EXPECT_LT(echo, std::chrono::milliseconds(2000));
  // Bob reads what is left and is still served.
  bob_.Send<protocol::CSV_ASK_ALLROOMINFO>();
  EXPECT_TRUE(bob_.WaitFor(msgid::CSV_ALLROOMINFO, std::chrono::milliseconds(10000)))
      << "the slow reader was disconnected";
}

TEST(DescriptorTest, RunningOutOfFileDescriptorsPausesAcceptingLogsOnceAndRecovers) {
  // A server whose descriptor limit 100 idle connections exceed.
  rlimit usual{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &usual), 0);
  rlimit low = usual;
  low.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
  ServerUnderTest server{kConfig, {"--master-port", "0", "--game-port", "0"}};
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &usual), 0);
  ASSERT_TRUE(server.Running()) << server.Log();

  std::vector<std::unique_ptr<TestClient>> idle;
  for (int i = 0; i < 100; ++i) idle.push_back(std::make_unique<TestClient>(server.Games()[0]));
  EXPECT_TRUE(idle.back()->WaitClosed()) << "a connection beyond the limit is closed, not left waiting";
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  auto count = [&](const std::string& text) {
    const std::string log = server.Log();
    int found = 0;
    for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++found;
    return found;
  };
  EXPECT_EQ(count("accept failed"), 0);
  EXPECT_EQ(count("out of file descriptors"), 1) << "one line per episode";

  idle.clear();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  TestClient alice;
  ASSERT_TRUE(alice.Login(server.Master(), "alice", 1)) << server.Log();
  EXPECT_EQ(count("accepting connections again"), 1);
}

}  // namespace
}  // namespace tovrik::server::testing
