#pragma once
// Lets a test change the server's database behind its back (filler users,
// granted items, spent money), as an operator's tool would.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>

namespace tovrik::server::testing {

inline ::testing::AssertionResult ExecSql(const std::filesystem::path& database, const char* sql) {
  sqlite3* db = nullptr;
  if (sqlite3_open(database.c_str(), &db) != SQLITE_OK) {
    const std::string reason = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    return ::testing::AssertionFailure() << "cannot open " << database << ": " << reason;
  }
  // The server holds the file open in WAL mode; wait out its short writes.
  sqlite3_busy_timeout(db, 5000);
  char* message = nullptr;
  const int result = sqlite3_exec(db, sql, nullptr, nullptr, &message);
  const std::string reason = message ? message : "";
  sqlite3_free(message);
  sqlite3_close(db);
  if (result != SQLITE_OK) return ::testing::AssertionFailure() << sql << ": " << reason;
  return ::testing::AssertionSuccess();
}

// Another process's write transaction on the database, held for the
// object's lifetime and then rolled back.
class DatabaseWriteLock {
 public:
  explicit DatabaseWriteLock(const std::filesystem::path& database) {
    if (sqlite3_open(database.c_str(), &db_) != SQLITE_OK) return;
    sqlite3_busy_timeout(db_, 5000);
    held_ = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
  }
  ~DatabaseWriteLock() { Release(); }
  DatabaseWriteLock(const DatabaseWriteLock&) = delete;
  DatabaseWriteLock& operator=(const DatabaseWriteLock&) = delete;

  bool Held() const { return held_; }
  void Release() {
    if (held_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    held_ = false;
    sqlite3_close(db_);
    db_ = nullptr;
  }

 private:
  sqlite3* db_ = nullptr;
  bool held_ = false;
};

// The first column of the first row of a query, or -1.
inline long long QueryInt(const std::filesystem::path& database, const char* sql) {
  sqlite3* db = nullptr;
  long long value = -1;
  if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt* query = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &query, nullptr) == SQLITE_OK && sqlite3_step(query) == SQLITE_ROW) {
      value = sqlite3_column_int64(query, 0);
    }
    sqlite3_finalize(query);
  }
  sqlite3_close(db);
  return value;
}

}  // namespace tovrik::server::testing
