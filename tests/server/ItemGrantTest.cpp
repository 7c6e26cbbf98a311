#include "server/ItemGrant.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace tovrik::server {
namespace {

TEST(ItemGrantTest, ParsesLoginCodeAndUses) {
  struct Case {
    const char* text;
    bool ok;
    const char* login;
    int code, uses;
  };
  const Case cases[] = {
      {"alice:501", true, "alice", 501, 0},
      {"bob:401:3", true, "bob", 401, 3},
      {"a.b-c:201:0", true, "a.b-c", 201, 0},
      {"alice:777", false, "", 0, 0},      // not an item the server knows
      {"alice", false, "", 0, 0},
      {":501", false, "", 0, 0},
      {"alice:501:-1", false, "", 0, 0},
      {"alice:501:40000", false, "", 0, 0},  // beyond the record's 16-bit field
      {"alice:501:2x", false, "", 0, 0},
      {"alice:50a", false, "", 0, 0},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto grant = ParseItemGrant(c.text, error);
    ASSERT_EQ(grant.has_value(), c.ok) << c.text;
    if (!c.ok) {
      EXPECT_FALSE(error.empty()) << c.text;
      continue;
    }
    EXPECT_EQ(grant->loginId, c.login);
    EXPECT_EQ(grant->itemCode, c.code);
    EXPECT_EQ(grant->uses, c.uses);
  }
}

TEST(ItemGrantTest, GrantsOnlyToAnExistingUser) {
  const auto dir = std::filesystem::temp_directory_path() / ("tovrik-grant-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::string error;
  auto db = Database::Open(dir / "server.db", error);
  ASSERT_TRUE(db) << error;
  const auto alice = db->RegisterUser("alice", "Alice", 100, 0);
  ASSERT_TRUE(alice);
  EXPECT_FALSE(GrantItem(*db, {"nobody", 501, 0}, error));
  EXPECT_NE(error.find("nobody"), std::string::npos);
  ASSERT_TRUE(GrantItem(*db, {"alice", 501, 2}, error)) << error;
  const auto items = db->ItemsOf(alice->id);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].itemCode, 501);
  EXPECT_EQ(items[0].useLimit, 2);
  db.reset();
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tovrik::server
