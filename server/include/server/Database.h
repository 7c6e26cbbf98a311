#pragma once
// The servers' shared store: one SQLite file in WAL mode, so that a master
// server and several game-server processes can use it at the same time.
// Users, owned items, abuse reports, login and channel-move tickets,
// presence (who is where) and the list of running game servers live here.

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct sqlite3;

namespace tovrik::server {

struct UserRecord {
  std::int64_t id = 0;
  std::string loginId;
  std::string nickname;
  int sex = 1;
  int charNo = 0;
  int wins = 0;
  int losses = 0;
  int draws = 0;
  int points = 0;
  int money = 0;
  int premium = 0;
  int pcRoomGrade = 0;
  std::string profile;
  std::array<std::uint8_t, 52> avatar{};
};

struct ItemRecord {
  std::int64_t id = 0;
  std::int64_t userId = 0;
  int itemCode = 0;
  int useDays = 0;
  int useLimit = 0;
  std::int64_t startTime = 0;  // unix seconds, 0 = not started
  int usedCount = 0;
};

struct AbuseReport {
  std::int64_t reporterUser = 0;
  std::string reporterLogin;
  std::string targetLogin;
  std::string targetNickname;
  std::string reason;
  int roomNo = 0;
  int checkValue = 0;
  std::string freeText;
  std::string excerpt;
};

enum class TicketKind { Login = 1, MoveChannel = 2 };

// Three random 32-bit keys make a ticket; it is valid once, on one server,
// until it expires.
struct TicketRecord {
  TicketKind kind = TicketKind::Login;
  std::int32_t keyA = 0;
  std::int32_t keyB = 0;
  std::int32_t keyC = 0;
  int serverNo = 0;
  std::int64_t userId = 0;  // 0 for login tickets: the user is named at login
  int groupNo = 0;
  int chanNo = 0;
  std::int64_t expires = 0;  // unix seconds
};

// Where a user is. Place: 0 choosing a channel, 1 lobby, 3 room.
struct PresenceRecord {
  std::int64_t userId = 0;
  std::string loginId;
  std::string nickname;
  int serverNo = 0;
  std::int64_t session = 0;
  int groupNo = 0;
  int chanNo = -1;
  std::string chanName;
  int place = 0;
  int roomNo = 0;
};

struct GameServerRecord {
  int serverNo = 0;
  std::string host;
  int port = 0;
  int loginGroup = -1;
  int users = 0;
  std::int64_t heartbeat = 0;
};

// A note for a user on another game server (a whisper), collected by the
// server that holds the user.
struct MailRecord {
  std::int64_t id = 0;
  int serverNo = 0;
  std::int64_t targetUser = 0;
  int kind = 0;
  std::vector<std::uint8_t> payload;
};

// A purchase or a charge of the web shop, kept under the token of the form
// that asked for it: a repeated request finds the first one instead of
// paying (or being paid) again.
enum class OrderKind { Purchase = 1, Charge = 2 };

struct ShopOrder {
  std::string token;
  std::int64_t userId = 0;
  OrderKind kind = OrderKind::Purchase;
  int product = 0;               // catalogue number (purchases)
  std::int64_t moneyChange = 0;  // negative: the price paid
  std::int64_t itemId = 0;       // the item bought
  int itemCode = 0;
};

enum class OrderResult { Done, Repeated, NotEnoughMoney, TooMuchMoney, OtherUser, NoUser, Failed };

struct OrderOutcome {
  OrderResult result = OrderResult::Failed;
  ShopOrder order;     // as stored (for Repeated: the first request's)
  std::int64_t money = 0;  // the user's money afterwards
};

class Database {
 public:
  // Opens or creates the file with its schema. Null with a reason on failure.
  static std::unique_ptr<Database> Open(const std::filesystem::path& file, std::string& error);
  ~Database();
  // How long a statement waits for another process's lock before it fails.
  void SetBusyWait(std::chrono::milliseconds wait);
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  std::optional<UserRecord> FindUserByLogin(std::string_view loginId);
  // Nicknames are unique, compared byte for byte as the client compares them.
  std::optional<UserRecord> FindUserByNickname(std::string_view nickname);
  std::optional<UserRecord> FindUser(std::int64_t id);
  // Registers a new user; empty when the id or the nickname is taken or the
  // write fails.
  std::optional<UserRecord> RegisterUser(std::string_view loginId, std::string_view nickname, int money, int points);
  bool SetCharacter(std::int64_t userId, int charNo);
  // Writes the figures a game changes (money, points, wins, losses, draws)
  // of all the users and one use of each item in `itemUses` at once, or
  // nothing (`now` in unix seconds starts an item's period).
  // With `moneyChanges` (one per user) the money moves by those amounts
  // instead of being set, so that money that changed meanwhile (a purchase
  // in the shop while the result waited) is kept; never below 0.
  bool RecordGameResult(std::span<const UserRecord> users, std::span<const std::int64_t> itemUses = {},
                        std::int64_t now = 0, std::span<const int> moneyChanges = {});

  std::vector<ItemRecord> ItemsOf(std::int64_t userId);
  bool AddItem(const ItemRecord& item);
  // Counts one use of an item; the first use starts its period (`now`, unix seconds).
  bool CountItemUse(std::int64_t itemId, std::int64_t now);

  std::optional<ItemRecord> FindItem(std::int64_t itemId);
  // Starts the period of a period item of that user that was never used
  // (counts its first use); false when there is no such item.
  bool StartItemPeriod(std::int64_t itemId, std::int64_t userId, std::int64_t now);

  // Applies the order in one transaction: the money change (a purchase
  // never below 0, a charge never above `maxMoney`), the item of a purchase
  // (`item`, its id is filled in) and the order under its token. A token
  // already stored changes nothing and returns the stored order (Repeated,
  // or OtherUser when another user placed it).
  OrderOutcome PlaceOrder(const ShopOrder& order, const ItemRecord* item, std::int64_t maxMoney, std::int64_t now);

  bool StoreReport(const AbuseReport& report);
  int CountReports();
  // Reports of one reporter since `since` (unix seconds).
  int CountReportsOf(std::int64_t reporterUser, std::int64_t since);

  bool StoreTicket(const TicketRecord& ticket);
  // Unexpired tickets of that kind (`now` in unix seconds).
  int CountLiveTickets(TicketKind kind, std::int64_t now);
  // Finds and consumes a ticket of that kind and keys for that server; an
  // expired ticket is consumed too but not returned.
  std::optional<TicketRecord> TakeTicket(TicketKind kind, std::int32_t a, std::int32_t b, std::int32_t c,
                                         int serverNo, std::int64_t now);

  // Takes the user's presence for this server and session. Fails while the
  // user is present on a live server (one whose heartbeat is recent).
  bool ClaimPresence(const PresenceRecord& presence, std::int64_t liveAfter);
  // Hands an existing presence to another server (channel move); it holds
  // the user only while the move ticket is valid, until that server takes it.
  bool MovePresence(std::int64_t userId, int fromServer, std::int64_t fromSession, int toServer);
  bool UpdatePresence(const PresenceRecord& presence);
  // Removes the presence only while it still belongs to that server and session.
  void ReleasePresence(std::int64_t userId, int serverNo, std::int64_t session);
  void ClearPresenceOfServer(int serverNo);
  std::optional<PresenceRecord> FindPresence(std::string_view loginId, std::int64_t liveAfter);
  std::optional<PresenceRecord> FindPresenceByNickname(std::string_view nickname, std::int64_t liveAfter);
  // Users per channel (group, channel) on live servers.
  std::map<std::pair<int, int>, int> ChannelCounts(std::int64_t liveAfter);

  bool RegisterServer(const GameServerRecord& server);
  void Heartbeat(int serverNo, int users, std::int64_t now);
  void UnregisterServer(int serverNo);
  std::vector<GameServerRecord> LiveServers(std::int64_t liveAfter);

  bool PostMail(const MailRecord& mail);
  std::vector<MailRecord> TakeMail(int serverNo);

 private:
  explicit Database(sqlite3* db);
  bool CreateSchema(std::string& error);
  bool AddPresenceMovingColumn();
  bool RenameDuplicateNicknames();
  bool Exec(std::string_view sql);

  sqlite3* db_;
};

}  // namespace tovrik::server
