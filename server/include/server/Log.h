#pragma once
// One-line log records on standard error, filtered by a process-wide level.

#include <sstream>
#include <string>
#include <string_view>

namespace tovrik::server {

enum class LogLevel { Error = 0, Warn = 1, Info = 2, Debug = 3 };

// Parses "error", "warn", "info" or "debug"; false for anything else.
bool ParseLogLevel(std::string_view text, LogLevel& level);

void SetLogLevel(LogLevel level);
bool LogEnabled(LogLevel level);
void WriteLog(LogLevel level, std::string_view line);

// Log(LogLevel::Info, "user ", id, " entered channel ", chan);
template <typename... Parts>
void Log(LogLevel level, const Parts&... parts) {
  if (!LogEnabled(level)) return;
  std::ostringstream line;
  (line << ... << parts);
  WriteLog(level, line.str());
}

}  // namespace tovrik::server
