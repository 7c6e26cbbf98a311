// The local web shop over HTTP against tovrik-server: the addresses the
// game server hands out, the item list, purchases with their money and item
// in the database and in the logged-in session, doubled and refused
// requests, the charge page, the own items with their use pages, and the
// "Status=" addresses read as the client's item window reads them.
#include <httplib.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "GameFixture.h"
#include "protocol/LobbyMessages.h"
#include "protocol/LoginMessages.h"

namespace tovrik::server::testing {
namespace {

constexpr const char* kItems = "/gameshop/client/Item/GameItemList.asp";
constexpr const char* kBuy = "/gameshop/client/Item/GameItemBuy.asp";
constexpr const char* kMyItems = "/gameshop/client/Myitem/GameMyItem.asp";
constexpr const char* kItemUse = "/gameshop/client/Myitem/GameMyItemUse.asp";
constexpr const char* kCash = "/gameshop/client/Cash/ChargeCash.asp";
constexpr int kStartMoney = 250;  // GameFixture's rules

struct Page {
  int status = 0;
  std::string body;
};

// The value of a page-event key as the client reads it: the text after the
// key's first occurrence up to the next "&". `whole` asks that the key
// start a parameter (after "?" or "&"), as the mended parser does.
std::string EventValue(const std::string& address, const std::string& key, bool whole) {
  std::size_t at = address.find(key);
  while (whole && at != std::string::npos && at > 0 && address[at - 1] != '?' && address[at - 1] != '&') {
    at = address.find(key, at + 1);
  }
  if (at == std::string::npos) return {};
  const std::size_t start = at + key.size();
  return address.substr(start, address.find('&', start) - start);
}

// The page's automatic navigation (its "Status=" address), unescaped.
std::string NextAddress(const std::string& body) {
  std::smatch match;
  if (!std::regex_search(body, match, std::regex("url=([^\"]*)\""))) return {};
  return std::regex_replace(match[1].str(), std::regex("&amp;"), "&");
}

class ShopTest : public GameFixture {
 protected:
  ShopTest() : GameFixture("") {}

  void SetUp() override {
    GameFixture::SetUp();
    ASSERT_GT(server_.Shop().port, 0) << "the ready line names the shop";
  }

  Page Get(const std::string& path, const std::string& cookie) {
    httplib::Client http(server_.Shop().host, server_.Shop().port);
    http.set_read_timeout(5, 0);
    httplib::Headers headers;
    if (!cookie.empty()) headers.emplace("Cookie", cookie);
    const auto result = http.Get(path.c_str(), headers);
    return result ? Page{result->status, result->body} : Page{};
  }
  Page Post(const std::string& path, const std::string& cookie, const httplib::Params& form) {
    httplib::Client http(server_.Shop().host, server_.Shop().port);
    http.set_read_timeout(5, 0);
    httplib::Headers headers;
    if (!cookie.empty()) headers.emplace("Cookie", cookie);
    const auto result = http.Post(path.c_str(), headers, form);
    return result ? Page{result->status, result->body} : Page{};
  }
  // The purchase form's token for catalogue product `product`, as the list page gives it.
  std::string TokenFor(const std::string& cookie, int product) {
    const Page list = Get(std::string(kItems) + "?gamecode=1", cookie);
    std::smatch match;
    const std::regex form("name=\"product\" value=\"" + std::to_string(product) +
                          "\"><input type=\"hidden\" name=\"token\" value=\"([0-9a-f]{32})\"");
    return std::regex_search(list.body, match, form) ? match[1].str() : std::string();
  }
  std::string CashToken(const std::string& cookie) {
    const Page cash = Get(kCash, cookie);
    std::smatch match;
    return std::regex_search(cash.body, match, std::regex("name=\"token\" value=\"([0-9a-f]{32})\"")) ? match[1].str()
                                                                                                    : std::string();
  }
  Page Charge(const std::string& cookie, const std::string& amount) {
    return Post(kCash, cookie, {{"amount", amount}, {"token", CashToken(cookie)}});
  }
  int StoredItems(const std::string& login) const {
    sqlite3* db = nullptr;
    sqlite3_open_v2(server_.Database().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db, "SELECT COUNT(*) FROM items i JOIN users u ON u.id = i.user_id WHERE u.login_id = ?", -1,
                       &query, nullptr);
    sqlite3_bind_text(query, 1, login.c_str(), -1, SQLITE_TRANSIENT);
    const int count = sqlite3_step(query) == SQLITE_ROW ? sqlite3_column_int(query, 0) : -1;
    sqlite3_finalize(query);
    sqlite3_close(db);
    return count;
  }
  // The money the game server holds for the logged-in user, from its own profile.
  static int SessionMoney(TestClient& client) {
    client.DropQueued();
    client.Send<protocol::CSV_ASK_USERINFO>(client.UNum(), client.Id().c_str());
    const auto info = client.WaitFor(msgid::CSV_USERINFO);
    return info ? static_cast<int>(info->As<protocol::USERINFO>().Pebble) : -1;
  }
  static std::vector<protocol::GAMEITEM> ItemList(TestClient& client) {
    client.DropQueued();
    client.Send<protocol::CSV_ASK_GAMEITEMLIST>(0, 0);
    const auto list = client.WaitFor(msgid::CSV_GAMEITEMLIST);
    std::vector<protocol::GAMEITEM> items;
    if (!list) return items;
    const auto head = list->As<protocol::ITEMLISTHEAD>();
    for (int i = 0; i < head.ItemCnt; ++i) {
      items.push_back(list->As<protocol::GAMEITEM>(sizeof head + static_cast<std::size_t>(i) * sizeof(protocol::GAMEITEM)));
    }
    return items;
  }
};

TEST_F(ShopTest, ServerInfoCarriesTheShopPagesAndTheListShowsEveryItemWithItsPrice) {
  TestClient carol;
  ASSERT_TRUE(carol.Login(server_.Master(), "carol", 1));
  const auto info = carol.WaitFor(msgid::CSV_SERVERINFO);
  ASSERT_TRUE(info);
  const auto record = info->As<protocol::SERVERINFO>();
  const std::string base = "http://127.0.0.1:" + std::to_string(server_.Shop().port);
  EXPECT_EQ(protocol::ReadText(record.ItemShopURL), base + kItems + "?gamecode=1&user=carol");
  EXPECT_EQ(protocol::ReadText(record.MyItemURL), base + kMyItems + "?gamecode=1&user=carol");
  EXPECT_EQ(protocol::ReadText(record.ChargeURL), base + kCash + "?gamecode=1&user=carol");

  // The client appends "&default=" and the item it wants shown first.
  const std::string items(protocol::ReadText(record.ItemShopURL));
  const Page list = Get(items.substr(base.size()) + "&default=501", "AuthCookie=carol");
  ASSERT_EQ(list.status, 200) << list.body;
  for (const char* text : {"점프 입장권 아이템", "슈퍼 방장 아이템", "플러스 포인트 아이템", "1,000 머니", "10,000 머니",
                           "보유 머니: <b>250</b>"}) {
    EXPECT_NE(list.body.find(text), std::string::npos) << text;
  }
  EXPECT_LT(list.body.find("플러스 포인트 아이템"), list.body.find("점프 입장권 아이템")) << "the default item leads";
  EXPECT_EQ(list.body.find("src="), std::string::npos) << "no external resources";
}

TEST_F(ShopTest, PurchaseTakesTheMoneyOnceGivesTheItemAndTellsTheClient) {
  ASSERT_EQ(Charge("AuthCookie=alice", "5000").status, 200);
  EXPECT_EQ(Stored("alice").money, kStartMoney + 5000);
  EXPECT_EQ(SessionMoney(alice_), kStartMoney + 5000) << "the logged-in session sees the charge";

  const std::string token = TokenFor("AuthCookie=alice", 1);  // jump ticket, one use, 1000
  ASSERT_FALSE(token.empty());
  // The same form sent twice at once and once more later: one purchase.
  std::vector<Page> answers(3);
  std::thread second([&] { answers[1] = Post(kBuy, "AuthCookie=alice", {{"product", "1"}, {"token", token}}); });
  answers[0] = Post(kBuy, "AuthCookie=alice", {{"product", "1"}, {"token", token}});
  second.join();
  answers[2] = Post(kBuy, "AuthCookie=alice", {{"product", "1"}, {"token", token}});
  EXPECT_EQ(Stored("alice").money, kStartMoney + 5000 - 1000);
  EXPECT_EQ(StoredItems("alice"), 1);
  EXPECT_EQ(SessionMoney(alice_), kStartMoney + 5000 - 1000);

  const std::string next = NextAddress(answers[0].body);
  for (const Page& answer : answers) {
    EXPECT_EQ(answer.status, 200) << answer.body;
    EXPECT_EQ(NextAddress(answer.body), next) << "every answer names the one purchase";
  }
  // The client's item window reads the event; both ways of reading agree.
  for (const bool whole : {false, true}) {
    EXPECT_EQ(EventValue(next, "Status=", whole), "_buyend_");
    EXPECT_EQ(EventValue(next, "type=", whole), "1");
    EXPECT_EQ(EventValue(next, "Itemcode=", whole), "201");
    EXPECT_GT(std::atoi(EventValue(next, "Itemno=", whole).c_str()), 0);
  }
  // ... and asks for its items, which now hold the ticket.
  const auto items = ItemList(alice_);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].ItemCode, 201);
  EXPECT_EQ(items[0].UseLimit, 1);
}

TEST_F(ShopTest, RefusedRequestsChangeNothing) {
  const std::string aliceToken = TokenFor("AuthCookie=alice", 1);
  const std::string bobToken = TokenFor("AuthCookie=bob", 1);
  ASSERT_EQ(Charge("AuthCookie=bob", "5000").status, 200);
  // Bob buys with his form; the same token then comes with alice's cookie.
  ASSERT_EQ(Post(kBuy, "AuthCookie=bob", {{"product", "1"}, {"token", bobToken}}).status, 200);
  const Figures alice = Stored("alice"), bob = Stored("bob");
  struct Case {
    const char* what;
    std::string cookie;
    httplib::Params form;
    int status;
  };
  const std::string overlong(300, '1');
  const std::vector<Case> cases = {
      {"not enough money", "AuthCookie=alice", {{"product", "4"}, {"token", aliceToken}}, 409},
      {"unknown product", "AuthCookie=alice", {{"product", "99"}, {"token", aliceToken}}, 400},
      {"negative product", "AuthCookie=alice", {{"product", "-1"}, {"token", aliceToken}}, 400},
      {"huge product", "AuthCookie=alice", {{"product", "99999999999999999999"}, {"token", aliceToken}}, 400},
      {"overlong field", "AuthCookie=alice", {{"product", overlong}, {"token", aliceToken}}, 400},
      {"doubled field", "AuthCookie=alice", {{"product", "1"}, {"product", "2"}, {"token", aliceToken}}, 400},
      {"malformed token", "AuthCookie=alice", {{"product", "1"}, {"token", "x"}}, 400},
      {"another user's token", "AuthCookie=alice", {{"product", "1"}, {"token", bobToken}}, 403},
      {"another user's form", "AuthCookie=bob", {{"product", "1"}, {"token", aliceToken}, {"user", "alice"}}, 403},
      {"no cookie", "", {{"product", "1"}, {"token", aliceToken}}, 403},
      {"malformed cookie", "AuthCookie=%zz", {{"product", "1"}, {"token", aliceToken}}, 400},
      {"cookie of no valid id", "AuthCookie=%3C%3E", {{"product", "1"}, {"token", aliceToken}}, 400},
      {"cookie of an unknown user", "AuthCookie=nobody", {{"product", "1"}, {"token", aliceToken}}, 403},
  };
  for (const Case& c : cases) {
    const Page page = Post(kBuy, c.cookie, c.form);
    EXPECT_EQ(page.status, c.status) << c.what << ": " << page.body;
    EXPECT_NE(page.body.find("class=\"error\""), std::string::npos) << c.what << ": a page that says why";
  }
  EXPECT_EQ(Stored("alice").money, alice.money);
  EXPECT_EQ(Stored("bob").money, bob.money);
  EXPECT_EQ(StoredItems("alice"), 0);
  EXPECT_EQ(StoredItems("bob"), 1);
  EXPECT_EQ(Get(std::string(kItems) + "?gamecode=1&user=alice", "AuthCookie=bob").status, 403)
      << "alice's page with bob's cookie";
  EXPECT_EQ(Get(std::string(kItems) + "?default=abc", "AuthCookie=alice").status, 400);
  EXPECT_EQ(Get("/nowhere", "AuthCookie=alice").status, 404);
  EXPECT_EQ(Get(std::string(kItems) + "?x=" + std::string(20000, 'a'), "AuthCookie=alice").status / 100, 4)
      << "an overlong request";
}

TEST_F(ShopTest, ChargeAddsPlayMoneyOnceWithinItsLimits) {
  const std::string token = CashToken("AuthCookie=alice");
  for (int i = 0; i < 2; ++i) {
    const Page page = Post(kCash, "AuthCookie=alice", {{"amount", "10000"}, {"token", token}});
    EXPECT_EQ(page.status, 200) << page.body;
  }
  EXPECT_EQ(Stored("alice").money, kStartMoney + 10000) << "one form charges once";
  for (const char* amount : {"0", "-5", "1000001", "99999999999999999999", "abc", ""}) {
    EXPECT_EQ(Charge("AuthCookie=alice", amount).status, 400) << amount;
  }
  EXPECT_EQ(Stored("alice").money, kStartMoney + 10000);
  EXPECT_EQ(SessionMoney(alice_), kStartMoney + 10000);
  const Page page = Get(kCash, "AuthCookie=alice");
  EXPECT_NE(page.body.find("window.external.ShowChargeCashDlg()"), std::string::npos);
}

TEST_F(ShopTest, OwnItemsLinkToTheirUsePagesWhichStartAPeriod) {
  ASSERT_EQ(Charge("AuthCookie=alice", "5000").status, 200);
  ASSERT_EQ(Post(kBuy, "AuthCookie=alice", {{"product", "3"}, {"token", TokenFor("AuthCookie=alice", 3)}}).status,
            200);  // super room, 7 days
  const Page mine = Get(std::string(kMyItems) + "?gamecode=1", "AuthCookie=alice");
  ASSERT_EQ(mine.status, 200);
  EXPECT_NE(mine.body.find("슈퍼 방장 아이템 (7일)"), std::string::npos) << mine.body;
  std::smatch link;
  ASSERT_TRUE(std::regex_search(mine.body, link, std::regex("href=\"([^\"]*Status=_nowuse_[^\"]*)\"")));
  const std::string nowUse = std::regex_replace(link[1].str(), std::regex("&amp;"), "&");
  EXPECT_EQ(EventValue(nowUse, "Itemcode=", false), "401");
  EXPECT_EQ(EventValue(nowUse, "mode=", false), "use");
  EXPECT_EQ(EventValue(nowUse, "gamecode=", false), "1");
  const std::string itemNo = EventValue(nowUse, "Itemno=", false);

  // The client then opens the use page at the path it builds itself.
  const std::string use = std::string(kItemUse) + "?itemno=" + itemNo + "&ItemCode=401&gamecode=1&mode=use";
  EXPECT_EQ(Get(use, "AuthCookie=bob").status, 404) << "another user's item";
  const Page usePage = Get(use, "AuthCookie=alice");
  ASSERT_EQ(usePage.status, 200);
  EXPECT_NE(usePage.body.find("지금 사용 시작"), std::string::npos);
  const Page started = Post(kItemUse, "AuthCookie=alice", {{"itemno", itemNo}, {"ItemCode", "401"}});
  ASSERT_EQ(started.status, 200);
  const std::string next = NextAddress(started.body);
  EXPECT_EQ(EventValue(next, "Status=", false), "_useitem_");
  EXPECT_EQ(EventValue(next, "type=", false), "1");
  EXPECT_EQ(EventValue(next, "Itemno=", false), itemNo);
  const auto items = ItemList(alice_);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].UsedCnt, 1) << "the period runs from now";
  EXPECT_GT(items[0].StartTime.wYear, 2000);
}

TEST_F(ShopTest, MoneyChargedDuringAGameSurvivesItsResult) {
  StartAndOpen();
  ASSERT_EQ(Charge("AuthCookie=alice", "1000").status, 200);
  bob_.Send<protocol::CSV_ASK_OUTROOM>(roomNo_, bob_.UNum(), "bob");  // bob forfeits
  const auto over = alice_.WaitFor(msgid::CSV_GAMEOVERRESULT);
  ASSERT_TRUE(over);
  EXPECT_EQ(over->As<protocol::GAMEOVERRESULT>(4).Pebble + over->As<protocol::GAMEOVERRESULT>(4 + 44).Pebble,
            kStartMoney + 1000 + 100 + kStartMoney - 100);
  EXPECT_EQ(Stored("alice").money, kStartMoney + 1000 + kBet);
  EXPECT_EQ(SessionMoney(alice_), kStartMoney + 1000 + kBet);
}

}  // namespace
}  // namespace tovrik::server::testing
