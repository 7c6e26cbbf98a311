#include "server/Database.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>

namespace tovrik::server {
namespace {

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tovrik-db-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::string error;
    db_ = Database::Open(dir_ / "sub" / "server.db", error);
    ASSERT_TRUE(db_) << error;
  }
  void TearDown() override {
    db_.reset();
    std::filesystem::remove_all(dir_);
  }

  std::filesystem::path dir_;
  std::unique_ptr<Database> db_;
};

TEST_F(DatabaseTest, GameResultsAreWrittenForAllOrNone) {
  auto alice = *db_->RegisterUser("alice", "Alice", 100, 0);
  auto bob = *db_->RegisterUser("bob", "Bob", 100, 0);
  alice.money = 200;
  alice.points = 20;
  alice.wins = 1;
  bob.money = 0;
  bob.losses = 1;
  bob.draws = 3;
  const UserRecord both[] = {alice, bob};
  ASSERT_TRUE(db_->RecordGameResult(both));
  EXPECT_EQ(db_->FindUser(alice.id)->money, 200);
  EXPECT_EQ(db_->FindUser(alice.id)->points, 20);
  EXPECT_EQ(db_->FindUser(alice.id)->wins, 1);
  EXPECT_EQ(db_->FindUser(bob.id)->losses, 1);
  EXPECT_EQ(db_->FindUser(bob.id)->draws, 3);

  UserRecord ghost = alice;
  ghost.id = 999;
  alice.money = 5;
  const UserRecord broken[] = {alice, ghost};
  EXPECT_FALSE(db_->RecordGameResult(broken)) << "an unknown user fails the whole result";
  EXPECT_EQ(db_->FindUser(alice.id)->money, 200) << "and nothing of it is kept";
}

TEST_F(DatabaseTest, CountingAnItemUseStartsItsPeriodOnce) {
  const auto user = *db_->RegisterUser("alice", "Alice", 100, 0);
  ItemRecord item;
  item.userId = user.id;
  item.itemCode = 501;
  ASSERT_TRUE(db_->AddItem(item));
  const std::int64_t id = db_->ItemsOf(user.id).front().id;
  ASSERT_TRUE(db_->CountItemUse(id, 1000));
  ASSERT_TRUE(db_->CountItemUse(id, 2000));
  const ItemRecord used = db_->ItemsOf(user.id).front();
  EXPECT_EQ(used.usedCount, 2);
  EXPECT_EQ(used.startTime, 1000);
  EXPECT_FALSE(db_->CountItemUse(id + 1, 1000)) << "no such item";
}

TEST_F(DatabaseTest, RegistersOnceAndFindsByLoginAndId) {
  const auto user = db_->RegisterUser("alice", "Alice", 10000, 5);
  ASSERT_TRUE(user);
  EXPECT_GT(user->id, 0);
  EXPECT_EQ(user->money, 10000);
  EXPECT_EQ(user->points, 5);
  EXPECT_FALSE(db_->RegisterUser("alice", "Other", 1, 1)) << "login ids are unique";
  EXPECT_EQ(db_->FindUserByLogin("alice")->nickname, "Alice");
  EXPECT_TRUE(db_->SetCharacter(user->id, 12));
  EXPECT_EQ(db_->FindUser(user->id)->charNo, 12);
  EXPECT_FALSE(db_->FindUserByLogin("nobody"));
}

TEST_F(DatabaseTest, SchemaSurvivesReopenInWalMode) {
  ASSERT_TRUE(db_->RegisterUser("bob", "Bob", 1, 0));
  std::string error;
  auto second = Database::Open(dir_ / "sub" / "server.db", error);
  ASSERT_TRUE(second) << error;
  EXPECT_TRUE(second->FindUserByLogin("bob"));
  EXPECT_TRUE(std::filesystem::exists(dir_ / "sub" / "server.db-wal"));
}

TEST_F(DatabaseTest, TicketIsSingleUseBoundToServerAndExpires) {
  TicketRecord ticket;
  ticket.keyA = 11;
  ticket.keyB = 22;
  ticket.keyC = 33;
  ticket.serverNo = 2;
  ticket.expires = 1000;
  ASSERT_TRUE(db_->StoreTicket(ticket));
  EXPECT_FALSE(db_->TakeTicket(TicketKind::Login, 11, 22, 33, 1, 900)) << "other server";
  EXPECT_FALSE(db_->TakeTicket(TicketKind::MoveChannel, 11, 22, 33, 2, 900)) << "other kind";
  EXPECT_FALSE(db_->TakeTicket(TicketKind::Login, 11, 22, 34, 2, 900)) << "other key";
  EXPECT_TRUE(db_->TakeTicket(TicketKind::Login, 11, 22, 33, 2, 900));
  EXPECT_FALSE(db_->TakeTicket(TicketKind::Login, 11, 22, 33, 2, 900)) << "used once";

  ASSERT_TRUE(db_->StoreTicket(ticket));
  EXPECT_FALSE(db_->TakeTicket(TicketKind::Login, 11, 22, 33, 2, 1001)) << "expired";
}

TEST_F(DatabaseTest, PresenceIsExclusiveWhileItsServerLives) {
  db_->RegisterServer({1, "127.0.0.1", 24001, -1, 0, 100});
  db_->RegisterServer({2, "127.0.0.1", 24002, -1, 0, 100});
  PresenceRecord here{7, "carol", "Carol", 1, 555, 1, 1, "free-1", 1, 0};
  ASSERT_TRUE(db_->ClaimPresence(here, 50));
  PresenceRecord elsewhere = here;
  elsewhere.serverNo = 2;
  elsewhere.session = 556;
  EXPECT_FALSE(db_->ClaimPresence(elsewhere, 50)) << "already logged in";
  EXPECT_EQ(db_->FindPresence("carol", 50)->chanName, "free-1");

  // Server 1 stops beating: its users count as gone.
  EXPECT_FALSE(db_->FindPresence("carol", 150));
  db_->Heartbeat(2, 0, 200);
  EXPECT_TRUE(db_->ClaimPresence(elsewhere, 150));
  db_->ReleasePresence(7, 1, 555);  // stale owner: must not remove the new one
  EXPECT_EQ(db_->FindPresence("carol", 150)->serverNo, 2);
  db_->ReleasePresence(7, 2, 556);
  EXPECT_FALSE(db_->FindPresence("carol", 0));
}

TEST_F(DatabaseTest, PresenceMovesBetweenServers) {
  db_->RegisterServer({1, "127.0.0.1", 24001, -1, 0, 100});
  db_->RegisterServer({2, "127.0.0.1", 24002, -1, 0, 100});
  ASSERT_TRUE(db_->ClaimPresence({7, "dave", "Dave", 1, 1, 1, 1, "a-1", 1, 0}, 50));
  const std::int64_t now = std::time(nullptr);
  ASSERT_TRUE(db_->StoreTicket({TicketKind::MoveChannel, 1, 2, 3, 2, 7, 1, 2, now + 60}));
  EXPECT_FALSE(db_->MovePresence(7, 1, 999, 2)) << "wrong session";
  EXPECT_TRUE(db_->MovePresence(7, 1, 1, 2));
  db_->ReleasePresence(7, 1, 1);  // the old connection closing afterwards
  const auto moved = db_->FindPresence("dave", 50);
  ASSERT_TRUE(moved) << "held for the move while its ticket is valid";
  EXPECT_EQ(moved->serverNo, 2);
  EXPECT_FALSE(db_->ClaimPresence({7, "dave", "Dave", 1, 5, 1, 1, "a-1", 1, 0}, 50));
  ASSERT_TRUE(db_->TakeTicket(TicketKind::MoveChannel, 1, 2, 3, 2, now));
  EXPECT_TRUE(db_->UpdatePresence({7, "dave", "Dave", 2, 42, 1, 2, "a-2", 1, 0}));
  EXPECT_EQ(db_->FindPresence("dave", 50)->session, 42) << "arrived: held without the ticket";
}

TEST_F(DatabaseTest, AMoveNeverCompletedHoldsTheUserOnlyWhileItsTicketIsValid) {
  db_->RegisterServer({1, "127.0.0.1", 24001, -1, 0, 100});
  db_->RegisterServer({2, "127.0.0.1", 24002, -1, 0, 100});
  ASSERT_TRUE(db_->ClaimPresence({7, "dave", "Dave", 1, 1, 1, 1, "a-1", 1, 0}, 50));
  ASSERT_TRUE(db_->StoreTicket({TicketKind::MoveChannel, 1, 2, 3, 2, 7, 1, 2, std::time(nullptr) - 1}));
  EXPECT_TRUE(db_->MovePresence(7, 1, 1, 2));
  EXPECT_FALSE(db_->FindPresence("dave", 50));
  EXPECT_TRUE(db_->ClaimPresence({7, "dave", "Dave", 1, 5, 1, 1, "a-1", 1, 0}, 50));
}

TEST_F(DatabaseTest, LiveServersAndMail) {
  db_->RegisterServer({1, "127.0.0.1", 24001, 3, 0, 100});
  db_->RegisterServer({2, "127.0.0.1", 24002, -1, 0, 10});
  const auto live = db_->LiveServers(50);
  ASSERT_EQ(live.size(), 1u);
  EXPECT_EQ(live[0].loginGroup, 3);

  ASSERT_TRUE(db_->PostMail({0, 1, 7, 1, {1, 2, 3}}));
  ASSERT_TRUE(db_->PostMail({0, 1, 8, 1, {4}}));
  ASSERT_TRUE(db_->PostMail({0, 2, 9, 1, {5}}));
  const auto mail = db_->TakeMail(1);
  ASSERT_EQ(mail.size(), 2u);
  EXPECT_EQ(mail[0].targetUser, 7);
  EXPECT_EQ(mail[0].payload, (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_TRUE(db_->TakeMail(1).empty());
  EXPECT_EQ(db_->TakeMail(2).size(), 1u);
}

TEST_F(DatabaseTest, ReportsKeepCodePage949BytesAndItems) {
  AbuseReport report;
  report.reporterLogin = "erin";
  report.excerpt = std::string("\xB0\xA1\x00\xFF", 4);
  ASSERT_TRUE(db_->StoreReport(report));
  EXPECT_EQ(db_->CountReports(), 1);

  const auto user = db_->RegisterUser("frank", "Frank", 1, 0);
  ASSERT_TRUE(db_->AddItem({0, user->id, 401, 7, 0, 0, 0}));
  const auto items = db_->ItemsOf(user->id);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].itemCode, 401);
  EXPECT_EQ(items[0].useDays, 7);
}

}  // namespace
}  // namespace tovrik::server
