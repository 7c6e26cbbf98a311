#include "server/Database.h"

#include <sqlite3.h>

#include <algorithm>

#include "SqliteStatement.h"
#include "server/Log.h"

namespace tovrik::server {
namespace {

constexpr std::string_view kSchema = R"sql(
CREATE TABLE IF NOT EXISTS users (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  login_id TEXT NOT NULL UNIQUE,
  nickname TEXT NOT NULL,
  sex INTEGER NOT NULL DEFAULT 1,
  char_no INTEGER NOT NULL DEFAULT 0,
  wins INTEGER NOT NULL DEFAULT 0,
  losses INTEGER NOT NULL DEFAULT 0,
  draws INTEGER NOT NULL DEFAULT 0,
  points INTEGER NOT NULL DEFAULT 0,
  money INTEGER NOT NULL DEFAULT 0,
  premium INTEGER NOT NULL DEFAULT 0,
  pcroom_grade INTEGER NOT NULL DEFAULT 0,
  profile TEXT NOT NULL DEFAULT '',
  avatar BLOB,
  created INTEGER NOT NULL DEFAULT (strftime('%s','now'))
);
CREATE TABLE IF NOT EXISTS items (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  user_id INTEGER NOT NULL REFERENCES users(id),
  item_code INTEGER NOT NULL,
  use_days INTEGER NOT NULL DEFAULT 0,
  use_limit INTEGER NOT NULL DEFAULT 0,
  start_time INTEGER NOT NULL DEFAULT 0,
  used_count INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX IF NOT EXISTS items_by_user ON items(user_id);
CREATE TABLE IF NOT EXISTS reports (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  created INTEGER NOT NULL DEFAULT (strftime('%s','now')),
  reporter_user INTEGER NOT NULL,
  reporter_login TEXT NOT NULL,
  target_login TEXT NOT NULL,
  target_nickname TEXT NOT NULL,
  reason TEXT NOT NULL,
  room_no INTEGER NOT NULL,
  check_value INTEGER NOT NULL,
  free_text BLOB,
  excerpt BLOB
);
CREATE TABLE IF NOT EXISTS tickets (
  kind INTEGER NOT NULL,
  key_a INTEGER NOT NULL,
  key_b INTEGER NOT NULL,
  key_c INTEGER NOT NULL,
  server_no INTEGER NOT NULL,
  user_id INTEGER NOT NULL,
  group_no INTEGER NOT NULL,
  chan_no INTEGER NOT NULL,
  expires INTEGER NOT NULL,
  PRIMARY KEY (kind, key_a, key_b, key_c)
);
CREATE TABLE IF NOT EXISTS presence (
  user_id INTEGER PRIMARY KEY,
  login_id TEXT NOT NULL UNIQUE,
  nickname TEXT NOT NULL,
  server_no INTEGER NOT NULL,
  session INTEGER NOT NULL,
  group_no INTEGER NOT NULL,
  chan_no INTEGER NOT NULL,
  chan_name TEXT NOT NULL,
  place INTEGER NOT NULL,
  room_no INTEGER NOT NULL,
  moving INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS servers (
  server_no INTEGER PRIMARY KEY,
  host TEXT NOT NULL,
  port INTEGER NOT NULL,
  login_group INTEGER NOT NULL,
  users INTEGER NOT NULL,
  heartbeat INTEGER NOT NULL
);
CREATE TABLE IF NOT EXISTS shop_orders (
  token TEXT PRIMARY KEY,
  user_id INTEGER NOT NULL,
  kind INTEGER NOT NULL,
  product INTEGER NOT NULL,
  money_change INTEGER NOT NULL,
  item_id INTEGER NOT NULL,
  item_code INTEGER NOT NULL,
  created INTEGER NOT NULL
);
CREATE TABLE IF NOT EXISTS mail (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  server_no INTEGER NOT NULL,
  target_user INTEGER NOT NULL,
  kind INTEGER NOT NULL,
  payload BLOB
);
)sql";

// A presence row holds its user while its server is alive; a row handed on
// for a channel move holds it only as long as the move ticket is still
// unused and valid, so that a user who never arrives can log in again once
// the ticket has expired. Binds the oldest live heartbeat as parameter 1.
constexpr std::string_view kPresenceHeld =
    "s.heartbeat >= ?1 AND (p.moving = 0 OR EXISTS (SELECT 1 FROM tickets t WHERE t.kind = 2 AND "
    "t.user_id = p.user_id AND t.server_no = p.server_no AND t.expires >= CAST(strftime('%s', 'now') AS INTEGER)))";

std::span<const std::uint8_t> AsBytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

constexpr std::string_view kUserColumns =
    "id, login_id, nickname, sex, char_no, wins, losses, draws, points, money, premium, pcroom_grade, profile, avatar";

UserRecord ReadUser(const SqliteStatement& row) {
  UserRecord user;
  user.id = row.Int(0);
  user.loginId = row.Text(1);
  user.nickname = row.Text(2);
  user.sex = static_cast<int>(row.Int(3));
  user.charNo = static_cast<int>(row.Int(4));
  user.wins = static_cast<int>(row.Int(5));
  user.losses = static_cast<int>(row.Int(6));
  user.draws = static_cast<int>(row.Int(7));
  user.points = static_cast<int>(row.Int(8));
  user.money = static_cast<int>(row.Int(9));
  user.premium = static_cast<int>(row.Int(10));
  user.pcRoomGrade = static_cast<int>(row.Int(11));
  user.profile = row.Text(12);
  const auto avatar = row.Blob(13);
  std::copy_n(avatar.begin(), std::min(avatar.size(), user.avatar.size()), user.avatar.begin());
  return user;
}

PresenceRecord ReadPresence(const SqliteStatement& row) {
  PresenceRecord presence;
  presence.userId = row.Int(0);
  presence.loginId = row.Text(1);
  presence.nickname = row.Text(2);
  presence.serverNo = static_cast<int>(row.Int(3));
  presence.session = row.Int(4);
  presence.groupNo = static_cast<int>(row.Int(5));
  presence.chanNo = static_cast<int>(row.Int(6));
  presence.chanName = row.Text(7);
  presence.place = static_cast<int>(row.Int(8));
  presence.roomNo = static_cast<int>(row.Int(9));
  return presence;
}

}  // namespace

std::unique_ptr<Database> Database::Open(const std::filesystem::path& file, std::string& error) {
  std::error_code ignored;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ignored);
  sqlite3* handle = nullptr;
  if (sqlite3_open_v2(file.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                      nullptr) != SQLITE_OK) {
    error = handle ? sqlite3_errmsg(handle) : "out of memory";
    sqlite3_close(handle);
    return nullptr;
  }
  std::unique_ptr<Database> db(new Database(handle));
  // Several processes write the same file: wait for each other's locks
  // instead of failing at once.
  sqlite3_busy_timeout(handle, 5000);
  if (!db->CreateSchema(error)) return nullptr;
  return db;
}

Database::Database(sqlite3* db) : db_(db) {}

Database::~Database() { sqlite3_close(db_); }

void Database::SetBusyWait(std::chrono::milliseconds wait) {
  sqlite3_busy_timeout(db_, static_cast<int>(wait.count()));
}

bool Database::Exec(std::string_view sql) {
  char* message = nullptr;
  const std::string text(sql);
  if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    Log(LogLevel::Error, "sqlite: ", message ? message : "unknown error");
    sqlite3_free(message);
    return false;
  }
  return true;
}

bool Database::CreateSchema(std::string& error) {
  SqliteStatement wal(db_, "PRAGMA journal_mode=WAL");
  if (wal.Step() != SQLITE_ROW || wal.Text(0) != "wal") {
    error = "cannot switch the database to WAL mode";
    return false;
  }
  if (!Exec("PRAGMA synchronous=NORMAL") || !Exec(kSchema) || !AddPresenceMovingColumn() ||
      !RenameDuplicateNicknames() ||
      !Exec("CREATE UNIQUE INDEX IF NOT EXISTS users_by_nickname ON users(nickname)")) {
    error = sqlite3_errmsg(db_);
    return false;
  }
  return true;
}

bool Database::AddPresenceMovingColumn() {
  // Files written before channel moves were marked lack the column.
  SqliteStatement columns(db_, "SELECT 1 FROM pragma_table_info('presence') WHERE name = 'moving'");
  if (columns.Step() == SQLITE_ROW) return true;
  return Exec("ALTER TABLE presence ADD COLUMN moving INTEGER NOT NULL DEFAULT 0");
}

bool Database::RenameDuplicateNicknames() {
  // Whispers and lists name users by nickname, so a nickname names one user.
  // A file from before that rule may hold the same nickname twice: the
  // user who registered it first keeps it, the others get their login id
  // (or, when that is taken as well, the login id with a number).
  SqliteStatement query(db_,
                        "SELECT id, login_id, nickname FROM users WHERE nickname IN (SELECT nickname FROM users "
                        "GROUP BY nickname HAVING COUNT(*) > 1) ORDER BY nickname, id");
  std::vector<std::pair<std::int64_t, std::string>> renames;
  std::string keptNickname;
  while (query.Step() == SQLITE_ROW) {
    const std::string nickname = query.Text(2);
    if (nickname != keptNickname) {
      keptNickname = nickname;
      continue;
    }
    renames.emplace_back(query.Int(0), query.Text(1));
  }
  for (const auto& [userId, loginId] : renames) {
    std::string candidate = loginId;
    for (int n = 2; FindUserByNickname(candidate); ++n) candidate = loginId + "~" + std::to_string(n);
    SqliteStatement update(db_, "UPDATE users SET nickname = ? WHERE id = ?");
    update.Bind(1, candidate).Bind(2, userId);
    if (!update.Run()) return false;
    Log(LogLevel::Warn, "user ", loginId, " shared its nickname with an older user and is now called ", candidate);
  }
  return true;
}

std::optional<UserRecord> Database::FindUserByLogin(std::string_view loginId) {
  SqliteStatement query(db_, "SELECT " + std::string(kUserColumns) + " FROM users WHERE login_id = ?");
  query.Bind(1, loginId);
  if (query.Step() != SQLITE_ROW) return std::nullopt;
  return ReadUser(query);
}

std::optional<UserRecord> Database::FindUserByNickname(std::string_view nickname) {
  SqliteStatement query(db_, "SELECT " + std::string(kUserColumns) + " FROM users WHERE nickname = ?");
  query.Bind(1, nickname);
  if (query.Step() != SQLITE_ROW) return std::nullopt;
  return ReadUser(query);
}

std::optional<UserRecord> Database::FindUser(std::int64_t id) {
  SqliteStatement query(db_, "SELECT " + std::string(kUserColumns) + " FROM users WHERE id = ?");
  query.Bind(1, id);
  if (query.Step() != SQLITE_ROW) return std::nullopt;
  return ReadUser(query);
}

std::optional<UserRecord> Database::RegisterUser(std::string_view loginId, std::string_view nickname, int money,
                                                 int points) {
  SqliteStatement insert(db_, "INSERT OR IGNORE INTO users (login_id, nickname, money, points) VALUES (?, ?, ?, ?)");
  insert.Bind(1, loginId).Bind(2, nickname).Bind(3, money).Bind(4, points);
  if (!insert.Run() || sqlite3_changes(db_) != 1) return std::nullopt;
  return FindUser(sqlite3_last_insert_rowid(db_));
}

bool Database::SetCharacter(std::int64_t userId, int charNo) {
  SqliteStatement update(db_, "UPDATE users SET char_no = ? WHERE id = ?");
  update.Bind(1, charNo).Bind(2, userId);
  return update.Run() && sqlite3_changes(db_) == 1;
}

bool Database::RecordGameResult(std::span<const UserRecord> users, std::span<const std::int64_t> itemUses,
                                std::int64_t now, std::span<const int> moneyChanges) {
  const bool byChange = moneyChanges.size() == users.size();
  if (!Exec("BEGIN IMMEDIATE")) return false;
  bool ok = true;
  for (std::size_t i = 0; i < users.size(); ++i) {
    const UserRecord& user = users[i];
    SqliteStatement update(db_, byChange ? "UPDATE users SET money = MAX(0, money + ?), points = ?, wins = ?, "
                                           "losses = ?, draws = ? WHERE id = ?"
                                         : "UPDATE users SET money = ?, points = ?, wins = ?, losses = ?, draws = ? "
                                           "WHERE id = ?");
    update.Bind(1, byChange ? moneyChanges[i] : user.money).Bind(2, user.points).Bind(3, user.wins);
    update.Bind(4, user.losses).Bind(5, user.draws).Bind(6, user.id);
    ok = update.Run() && sqlite3_changes(db_) == 1 && ok;
  }
  for (const std::int64_t itemId : itemUses) ok = ok && CountItemUse(itemId, now);
  // A failed COMMIT (busy) leaves the transaction open: roll it back then.
  if (!ok || !Exec("COMMIT")) {
    Exec("ROLLBACK");
    return false;
  }
  return true;
}

bool Database::CountItemUse(std::int64_t itemId, std::int64_t now) {
  SqliteStatement update(db_,
                         "UPDATE items SET used_count = used_count + 1, "
                         "start_time = CASE WHEN start_time = 0 THEN ? ELSE start_time END WHERE id = ?");
  update.Bind(1, now).Bind(2, itemId);
  return update.Run() && sqlite3_changes(db_) == 1;
}

std::vector<ItemRecord> Database::ItemsOf(std::int64_t userId) {
  SqliteStatement query(db_,
                        "SELECT id, user_id, item_code, use_days, use_limit, start_time, used_count FROM items "
                        "WHERE user_id = ? ORDER BY id");
  query.Bind(1, userId);
  std::vector<ItemRecord> items;
  while (query.Step() == SQLITE_ROW) {
    ItemRecord item;
    item.id = query.Int(0);
    item.userId = query.Int(1);
    item.itemCode = static_cast<int>(query.Int(2));
    item.useDays = static_cast<int>(query.Int(3));
    item.useLimit = static_cast<int>(query.Int(4));
    item.startTime = query.Int(5);
    item.usedCount = static_cast<int>(query.Int(6));
    items.push_back(item);
  }
  return items;
}

bool Database::AddItem(const ItemRecord& item) {
  SqliteStatement insert(db_,
                         "INSERT INTO items (user_id, item_code, use_days, use_limit, start_time, used_count) "
                         "VALUES (?, ?, ?, ?, ?, ?)");
  insert.Bind(1, item.userId).Bind(2, item.itemCode).Bind(3, item.useDays).Bind(4, item.useLimit);
  insert.Bind(5, item.startTime).Bind(6, item.usedCount);
  return insert.Run();
}

std::optional<ItemRecord> Database::FindItem(std::int64_t itemId) {
  SqliteStatement query(db_,
                        "SELECT id, user_id, item_code, use_days, use_limit, start_time, used_count FROM items "
                        "WHERE id = ?");
  query.Bind(1, itemId);
  if (query.Step() != SQLITE_ROW) return std::nullopt;
  ItemRecord item;
  item.id = query.Int(0);
  item.userId = query.Int(1);
  item.itemCode = static_cast<int>(query.Int(2));
  item.useDays = static_cast<int>(query.Int(3));
  item.useLimit = static_cast<int>(query.Int(4));
  item.startTime = query.Int(5);
  item.usedCount = static_cast<int>(query.Int(6));
  return item;
}

bool Database::StartItemPeriod(std::int64_t itemId, std::int64_t userId, std::int64_t now) {
  SqliteStatement update(db_,
                         "UPDATE items SET used_count = 1, start_time = ? WHERE id = ? AND user_id = ? AND "
                         "use_days > 0 AND used_count = 0");
  update.Bind(1, now).Bind(2, itemId).Bind(3, userId);
  return update.Run() && sqlite3_changes(db_) == 1;
}

namespace {

ShopOrder ReadOrder(const SqliteStatement& row) {
  ShopOrder order;
  order.token = row.Text(0);
  order.userId = row.Int(1);
  order.kind = static_cast<OrderKind>(row.Int(2));
  order.product = static_cast<int>(row.Int(3));
  order.moneyChange = row.Int(4);
  order.itemId = row.Int(5);
  order.itemCode = static_cast<int>(row.Int(6));
  return order;
}

}  // namespace

OrderOutcome Database::PlaceOrder(const ShopOrder& order, const ItemRecord* item, std::int64_t maxMoney,
                                  std::int64_t now) {
  OrderOutcome outcome;
  outcome.order = order;
  if (!Exec("BEGIN IMMEDIATE")) return outcome;
  // Everything below runs inside the transaction; any early return rolls back.
  auto finish = [&](OrderResult result, bool commit) {
    outcome.result = result;
    if (commit && Exec("COMMIT")) return outcome;
    Exec("ROLLBACK");
    if (commit) outcome.result = OrderResult::Failed;
    return outcome;
  };
  SqliteStatement money(db_, "SELECT money FROM users WHERE id = ?");
  money.Bind(1, order.userId);
  if (money.Step() != SQLITE_ROW) return finish(OrderResult::NoUser, false);
  outcome.money = money.Int(0);

  SqliteStatement earlier(db_,
                          "SELECT token, user_id, kind, product, money_change, item_id, item_code FROM shop_orders "
                          "WHERE token = ?");
  earlier.Bind(1, order.token);
  if (earlier.Step() == SQLITE_ROW) {
    outcome.order = ReadOrder(earlier);
    return finish(outcome.order.userId == order.userId ? OrderResult::Repeated : OrderResult::OtherUser, false);
  }
  const std::int64_t after = outcome.money + order.moneyChange;
  if (after < 0) return finish(OrderResult::NotEnoughMoney, false);
  if (order.moneyChange > 0 && after > maxMoney) return finish(OrderResult::TooMuchMoney, false);

  SqliteStatement pay(db_, "UPDATE users SET money = ? WHERE id = ?");
  pay.Bind(1, after).Bind(2, order.userId);
  if (!pay.Run() || sqlite3_changes(db_) != 1) return finish(OrderResult::Failed, false);
  if (item) {
    ItemRecord owned = *item;
    owned.userId = order.userId;
    if (!AddItem(owned)) return finish(OrderResult::Failed, false);
    outcome.order.itemId = sqlite3_last_insert_rowid(db_);
    outcome.order.itemCode = owned.itemCode;
  }
  SqliteStatement store(db_,
                        "INSERT INTO shop_orders (token, user_id, kind, product, money_change, item_id, item_code, "
                        "created) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
  store.Bind(1, outcome.order.token).Bind(2, order.userId).Bind(3, static_cast<int>(order.kind));
  store.Bind(4, order.product).Bind(5, order.moneyChange).Bind(6, outcome.order.itemId);
  store.Bind(7, outcome.order.itemCode).Bind(8, now);
  if (!store.Run()) return finish(OrderResult::Failed, false);
  outcome.money = after;
  return finish(OrderResult::Done, true);
}

bool Database::StoreReport(const AbuseReport& report) {
  SqliteStatement insert(db_,
                         "INSERT INTO reports (reporter_user, reporter_login, target_login, target_nickname, reason, "
                         "room_no, check_value, free_text, excerpt) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
  insert.Bind(1, report.reporterUser).Bind(2, report.reporterLogin).Bind(3, report.targetLogin);
  insert.Bind(4, report.targetNickname).Bind(5, report.reason).Bind(6, report.roomNo).Bind(7, report.checkValue);
  // Chat excerpts are code page 949 bytes, not UTF-8: keep them as blobs.
  insert.BindBlob(8, AsBytes(report.freeText)).BindBlob(9, AsBytes(report.excerpt));
  return insert.Run();
}

int Database::CountReports() {
  SqliteStatement query(db_, "SELECT COUNT(*) FROM reports");
  return query.Step() == SQLITE_ROW ? static_cast<int>(query.Int(0)) : 0;
}

int Database::CountReportsOf(std::int64_t reporterUser, std::int64_t since) {
  SqliteStatement query(db_, "SELECT COUNT(*) FROM reports WHERE reporter_user = ? AND created >= ?");
  query.Bind(1, reporterUser).Bind(2, since);
  return query.Step() == SQLITE_ROW ? static_cast<int>(query.Int(0)) : 0;
}

int Database::CountLiveTickets(TicketKind kind, std::int64_t now) {
  SqliteStatement query(db_, "SELECT COUNT(*) FROM tickets WHERE kind = ? AND expires >= ?");
  query.Bind(1, static_cast<int>(kind)).Bind(2, now);
  return query.Step() == SQLITE_ROW ? static_cast<int>(query.Int(0)) : 0;
}

bool Database::StoreTicket(const TicketRecord& ticket) {
  SqliteStatement insert(db_,
                         "INSERT INTO tickets (kind, key_a, key_b, key_c, server_no, user_id, group_no, chan_no, "
                         "expires) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
  insert.Bind(1, static_cast<int>(ticket.kind)).Bind(2, ticket.keyA).Bind(3, ticket.keyB).Bind(4, ticket.keyC);
  insert.Bind(5, ticket.serverNo).Bind(6, ticket.userId).Bind(7, ticket.groupNo).Bind(8, ticket.chanNo);
  insert.Bind(9, ticket.expires);
  return insert.Run();
}

std::optional<TicketRecord> Database::TakeTicket(TicketKind kind, std::int32_t a, std::int32_t b, std::int32_t c,
                                                 int serverNo, std::int64_t now) {
  // Expired tickets of every kind go first, so the table never grows.
  SqliteStatement sweep(db_, "DELETE FROM tickets WHERE expires < ?");
  sweep.Bind(1, now).Run();
  SqliteStatement take(db_,
                       "DELETE FROM tickets WHERE kind = ? AND key_a = ? AND key_b = ? AND key_c = ? AND "
                       "server_no = ? RETURNING user_id, group_no, chan_no, expires");
  take.Bind(1, static_cast<int>(kind)).Bind(2, a).Bind(3, b).Bind(4, c).Bind(5, serverNo);
  if (take.Step() != SQLITE_ROW) return std::nullopt;
  TicketRecord ticket;
  ticket.kind = kind;
  ticket.keyA = a;
  ticket.keyB = b;
  ticket.keyC = c;
  ticket.serverNo = serverNo;
  ticket.userId = take.Int(0);
  ticket.groupNo = static_cast<int>(take.Int(1));
  ticket.chanNo = static_cast<int>(take.Int(2));
  ticket.expires = take.Int(3);
  take.Run();
  return ticket;
}

bool Database::ClaimPresence(const PresenceRecord& presence, std::int64_t liveAfter) {
  if (!Exec("BEGIN IMMEDIATE")) return false;
  SqliteStatement holder(db_,
                         "SELECT p.server_no, p.session FROM presence p JOIN servers s ON s.server_no = p.server_no "
                         "WHERE (p.user_id = ?2 OR p.login_id = ?3) AND " + std::string(kPresenceHeld));
  holder.Bind(1, liveAfter).Bind(2, presence.userId).Bind(3, presence.loginId);
  const bool taken = holder.Step() == SQLITE_ROW;
  bool ok = false;
  if (!taken) {
    SqliteStatement drop(db_, "DELETE FROM presence WHERE user_id = ? OR login_id = ?");
    drop.Bind(1, presence.userId).Bind(2, presence.loginId);
    SqliteStatement insert(db_,
                           "INSERT INTO presence (user_id, login_id, nickname, server_no, session, group_no, chan_no, "
                           "chan_name, place, room_no) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    insert.Bind(1, presence.userId).Bind(2, presence.loginId).Bind(3, presence.nickname);
    insert.Bind(4, presence.serverNo).Bind(5, presence.session).Bind(6, presence.groupNo);
    insert.Bind(7, presence.chanNo).Bind(8, presence.chanName).Bind(9, presence.place).Bind(10, presence.roomNo);
    ok = drop.Run() && insert.Run();
  }
  Exec(ok ? "COMMIT" : "ROLLBACK");
  return ok;
}

bool Database::MovePresence(std::int64_t userId, int fromServer, std::int64_t fromSession, int toServer) {
  SqliteStatement update(db_,
                         "UPDATE presence SET server_no = ?, place = 0, room_no = 0, moving = 1 WHERE user_id = ? AND "
                         "server_no = ? AND session = ?");
  update.Bind(1, toServer).Bind(2, userId).Bind(3, fromServer).Bind(4, fromSession);
  return update.Run() && sqlite3_changes(db_) == 1;
}

bool Database::UpdatePresence(const PresenceRecord& presence) {
  SqliteStatement update(db_,
                         "UPDATE presence SET session = ?, group_no = ?, chan_no = ?, chan_name = ?, place = ?, "
                         "room_no = ?, moving = 0 WHERE user_id = ? AND server_no = ?");
  update.Bind(1, presence.session).Bind(2, presence.groupNo).Bind(3, presence.chanNo).Bind(4, presence.chanName);
  update.Bind(5, presence.place).Bind(6, presence.roomNo).Bind(7, presence.userId).Bind(8, presence.serverNo);
  return update.Run() && sqlite3_changes(db_) == 1;
}

void Database::ReleasePresence(std::int64_t userId, int serverNo, std::int64_t session) {
  SqliteStatement drop(db_, "DELETE FROM presence WHERE user_id = ? AND server_no = ? AND session = ?");
  drop.Bind(1, userId).Bind(2, serverNo).Bind(3, session).Run();
}

void Database::ClearPresenceOfServer(int serverNo) {
  SqliteStatement drop(db_, "DELETE FROM presence WHERE server_no = ?");
  drop.Bind(1, serverNo).Run();
}

std::optional<PresenceRecord> Database::FindPresence(std::string_view loginId, std::int64_t liveAfter) {
  SqliteStatement query(db_,
                        "SELECT p.user_id, p.login_id, p.nickname, p.server_no, p.session, p.group_no, p.chan_no, "
                        "p.chan_name, p.place, p.room_no FROM presence p JOIN servers s ON s.server_no = p.server_no "
                        "WHERE p.login_id = ?2 AND " + std::string(kPresenceHeld));
  query.Bind(1, liveAfter).Bind(2, loginId);
  if (query.Step() != SQLITE_ROW) return std::nullopt;
  return ReadPresence(query);
}

std::optional<PresenceRecord> Database::FindPresenceByNickname(std::string_view nickname, std::int64_t liveAfter) {
  SqliteStatement query(db_,
                        "SELECT p.user_id, p.login_id, p.nickname, p.server_no, p.session, p.group_no, p.chan_no, "
                        "p.chan_name, p.place, p.room_no FROM presence p JOIN servers s ON s.server_no = p.server_no "
                        "WHERE p.nickname = ?2 AND " + std::string(kPresenceHeld) + " ORDER BY p.user_id LIMIT 1");
  query.Bind(1, liveAfter).Bind(2, nickname);
  if (query.Step() != SQLITE_ROW) return std::nullopt;
  return ReadPresence(query);
}

std::map<std::pair<int, int>, int> Database::ChannelCounts(std::int64_t liveAfter) {
  SqliteStatement query(db_,
                        "SELECT p.group_no, p.chan_no, COUNT(*) FROM presence p JOIN servers s ON "
                        "s.server_no = p.server_no WHERE s.heartbeat >= ? AND p.place > 0 GROUP BY p.group_no, "
                        "p.chan_no");
  query.Bind(1, liveAfter);
  std::map<std::pair<int, int>, int> counts;
  while (query.Step() == SQLITE_ROW) {
    counts[{static_cast<int>(query.Int(0)), static_cast<int>(query.Int(1))}] = static_cast<int>(query.Int(2));
  }
  return counts;
}

bool Database::RegisterServer(const GameServerRecord& server) {
  SqliteStatement upsert(db_,
                         "INSERT OR REPLACE INTO servers (server_no, host, port, login_group, users, heartbeat) "
                         "VALUES (?, ?, ?, ?, ?, ?)");
  upsert.Bind(1, server.serverNo).Bind(2, server.host).Bind(3, server.port).Bind(4, server.loginGroup);
  upsert.Bind(5, server.users).Bind(6, server.heartbeat);
  return upsert.Run();
}

void Database::Heartbeat(int serverNo, int users, std::int64_t now) {
  SqliteStatement update(db_, "UPDATE servers SET users = ?, heartbeat = ? WHERE server_no = ?");
  update.Bind(1, users).Bind(2, now).Bind(3, serverNo).Run();
}

void Database::UnregisterServer(int serverNo) {
  SqliteStatement drop(db_, "DELETE FROM servers WHERE server_no = ?");
  drop.Bind(1, serverNo).Run();
  ClearPresenceOfServer(serverNo);
}

std::vector<GameServerRecord> Database::LiveServers(std::int64_t liveAfter) {
  SqliteStatement query(db_,
                        "SELECT server_no, host, port, login_group, users, heartbeat FROM servers WHERE heartbeat >= ? "
                        "ORDER BY server_no");
  query.Bind(1, liveAfter);
  std::vector<GameServerRecord> servers;
  while (query.Step() == SQLITE_ROW) {
    GameServerRecord server;
    server.serverNo = static_cast<int>(query.Int(0));
    server.host = query.Text(1);
    server.port = static_cast<int>(query.Int(2));
    server.loginGroup = static_cast<int>(query.Int(3));
    server.users = static_cast<int>(query.Int(4));
    server.heartbeat = query.Int(5);
    servers.push_back(server);
  }
  return servers;
}

bool Database::PostMail(const MailRecord& mail) {
  SqliteStatement insert(db_, "INSERT INTO mail (server_no, target_user, kind, payload) VALUES (?, ?, ?, ?)");
  insert.Bind(1, mail.serverNo).Bind(2, mail.targetUser).Bind(3, mail.kind).BindBlob(4, mail.payload);
  return insert.Run();
}

std::vector<MailRecord> Database::TakeMail(int serverNo) {
  // Polled often: a read does not wait for another process's write lock.
  SqliteStatement any(db_, "SELECT 1 FROM mail WHERE server_no = ? LIMIT 1");
  any.Bind(1, serverNo);
  if (any.Step() != SQLITE_ROW) return {};
  SqliteStatement take(db_, "DELETE FROM mail WHERE server_no = ? RETURNING id, target_user, kind, payload");
  take.Bind(1, serverNo);
  std::vector<MailRecord> mail;
  while (take.Step() == SQLITE_ROW) {
    MailRecord note;
    note.id = take.Int(0);
    note.serverNo = serverNo;
    note.targetUser = take.Int(1);
    note.kind = static_cast<int>(take.Int(2));
    note.payload = take.Blob(3);
    mail.push_back(std::move(note));
  }
  std::sort(mail.begin(), mail.end(), [](const MailRecord& a, const MailRecord& b) { return a.id < b.id; });
  return mail;
}

}  // namespace tovrik::server
