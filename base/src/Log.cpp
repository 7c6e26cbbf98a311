#include "base/Log.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace tovrik::base {
namespace {

std::atomic<int> g_level{static_cast<int>(LogLevel::Info)};

// Records may come from more than one thread (a crash report's helper
// thread, a test's server thread): the sink is swapped and called under one lock.
std::mutex& SinkMutex() {
  static std::mutex mutex;
  return mutex;
}

LogSink& Sink() {
  static LogSink sink;
  return sink;
}

void WriteToStandardError(const LogRecord& record) {
  const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%H:%M:%S", &local);
  const std::string_view level = LogLevelName(record.level);
  // One fprintf per record keeps lines whole when several processes share a terminal.
  std::fprintf(stderr, "%s %-5.*s %.*s: %.*s\n", stamp, int(level.size()), level.data(), int(record.subsystem.size()),
               record.subsystem.data(), int(record.text.size()), record.text.data());
}

}  // namespace

std::string_view LogLevelName(LogLevel level) {
  switch (level) {
    case LogLevel::Error: return "error";
    case LogLevel::Warn: return "warn";
    case LogLevel::Info: return "info";
    case LogLevel::Debug: return "debug";
  }
  return "?";
}

bool ParseLogLevel(std::string_view text, LogLevel& level) {
  for (LogLevel candidate : {LogLevel::Error, LogLevel::Warn, LogLevel::Info, LogLevel::Debug}) {
    if (text == LogLevelName(candidate)) {
      level = candidate;
      return true;
    }
  }
  return false;
}

void SetLogLevel(LogLevel level) { g_level = static_cast<int>(level); }

LogLevel CurrentLogLevel() { return static_cast<LogLevel>(g_level.load()); }

bool LogEnabled(LogLevel level) { return static_cast<int>(level) <= g_level; }

void AppendControlEscaped(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      out += c;
      continue;
    }
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
  }
}

std::string EscapeControlBytes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendControlEscaped(out, text);
  return out;
}

LogSink SetLogSink(LogSink sink) {
  std::lock_guard lock(SinkMutex());
  LogSink previous = std::move(Sink());
  Sink() = std::move(sink);
  return previous;
}

void WriteLog(LogLevel level, std::string_view subsystem, std::string_view text) {
  if (!LogEnabled(level)) return;
  const std::string escapedSubsystem = EscapeControlBytes(subsystem);
  const std::string escapedText = EscapeControlBytes(text);
  const LogRecord record{level, escapedSubsystem, escapedText};
  std::lock_guard lock(SinkMutex());
  if (Sink()) Sink()(record);
  else WriteToStandardError(record);
}

}  // namespace tovrik::base
