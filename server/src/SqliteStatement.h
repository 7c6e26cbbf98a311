#pragma once
// A prepared SQLite statement that finalises itself; binds by 1-based index.

#include <sqlite3.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tovrik::server {

class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, std::string_view sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  bool Ok() const { return stmt_ != nullptr; }

  SqliteStatement& Bind(int index, std::int64_t value);
  SqliteStatement& Bind(int index, std::string_view text);
  SqliteStatement& BindBlob(int index, std::span<const std::uint8_t> bytes);

  // SQLITE_ROW while rows come, SQLITE_DONE at the end, an error code otherwise.
  int Step();
  // Runs to completion; true when the statement finished without error.
  bool Run();

  std::int64_t Int(int column) const;
  std::string Text(int column) const;
  std::vector<std::uint8_t> Blob(int column) const;

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace tovrik::server
