#include "server/Log.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>

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

// Peers choose much of what is logged (ids, names, texts): a line break or
// a terminal escape among them must not forge a record or reach the
// operator's terminal as a command. Control bytes and the backslash are
// written as \xNN escapes; every other byte, UTF-8 included, stays.
std::string EscapeControlBytes(std::string_view line) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string escaped;
  escaped.reserve(line.size());
  for (const char c : line) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F && byte != '\\') {
      escaped += c;
      continue;
    }
    escaped += "\\x";
    escaped += kHex[byte >> 4];
    escaped += kHex[byte & 0xF];
  }
  return escaped;
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
  const std::string safe = EscapeControlBytes(line);
  // One fprintf per record keeps lines whole when several processes share a terminal.
  std::fprintf(stderr, "%s %-5s %.*s\n", stamp, LevelName(level), static_cast<int>(safe.size()), safe.data());
}

}  // namespace tovrik::server
