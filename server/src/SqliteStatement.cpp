#include "SqliteStatement.h"

#include "server/Log.h"

namespace tovrik::server {

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) : db_(db) {
  if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) != SQLITE_OK) {
    Log(LogLevel::Error, "sqlite prepare failed: ", sqlite3_errmsg(db), " in: ", sql);
    stmt_ = nullptr;
  }
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(stmt_); }

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t value) {
  if (stmt_) sqlite3_bind_int64(stmt_, index, value);
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::string_view text) {
  if (stmt_) sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  return *this;
}

SqliteStatement& SqliteStatement::BindBlob(int index, std::span<const std::uint8_t> bytes) {
  if (stmt_) sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  return *this;
}

int SqliteStatement::Step() {
  if (!stmt_) return SQLITE_MISUSE;
  const int rc = sqlite3_step(stmt_);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
    Log(LogLevel::Error, "sqlite step failed: ", sqlite3_errmsg(db_));
  }
  return rc;
}

bool SqliteStatement::Run() {
  int rc;
  while ((rc = Step()) == SQLITE_ROW) {
  }
  return rc == SQLITE_DONE;
}

std::int64_t SqliteStatement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string SqliteStatement::Text(int column) const {
  const auto* text = sqlite3_column_text(stmt_, column);
  const int size = sqlite3_column_bytes(stmt_, column);
  return text ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size)) : std::string();
}

std::vector<std::uint8_t> SqliteStatement::Blob(int column) const {
  const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt_, column));
  const int size = sqlite3_column_bytes(stmt_, column);
  return bytes ? std::vector<std::uint8_t>(bytes, bytes + size) : std::vector<std::uint8_t>();
}

}  // namespace tovrik::server
