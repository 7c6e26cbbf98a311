#include "server/Log.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace tovrik::server {
namespace {

std::atomic<int> g_level{static_cast<int>(LogLevel::Info)};

const char* LevelName(LogLevel level) {
  switch (level) {
    case LogLevel::Error: return "error";
    case LogLevel::Warn: return "warn";
    case LogLevel::Info: return "info";
    case LogLevel::Debug: return "debug";
  }
  return "?";
}

}  // namespace

bool ParseLogLevel(std::string_view text, LogLevel& level) {
  for (LogLevel candidate : {LogLevel::Error, LogLevel::Warn, LogLevel::Info, LogLevel::Debug}) {
    if (text == LevelName(candidate)) {
      level = candidate;
      return true;
    }
  }
  return false;
}

void SetLogLevel(LogLevel level) { g_level = static_cast<int>(level); }

bool LogEnabled(LogLevel level) { return static_cast<int>(level) <= g_level; }

void WriteLog(LogLevel level, std::string_view line) {
  const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%H:%M:%S", &local);
  // One fprintf per record keeps lines whole when several processes share a terminal.
  std::fprintf(stderr, "%s %-5s %.*s\n", stamp, LevelName(level), static_cast<int>(line.size()), line.data());
}

}  // namespace tovrik::server
