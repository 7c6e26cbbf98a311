#pragma once
// One logging call for the client, the server and the tools:
//
//   base::Log(base::LogLevel::Info, "server", "user ", id, " entered channel ", channel);
//
// A record is a level, the name of the subsystem that writes it and one line
// of text. Records above the process-wide level are dropped before their text
// is built. The host decides where records go by installing a sink (the
// client's platform hands them to its own log); without one they go to
// standard error, one line each.
//
// Text from the wire (ids, nicknames, chat) ends up in records, so every
// control byte of the text is escaped here, before any sink sees it: a line
// break inside an id can never start a forged record of its own.

#include <functional>
#include <sstream>
#include <string>
#include <string_view>

namespace tovrik::base {

enum class LogLevel { Error = 0, Warn = 1, Info = 2, Debug = 3 };

// "error", "warn", "info" or "debug".
std::string_view LogLevelName(LogLevel level);
// Parses one of the names above; false (and `level` untouched) for anything else.
bool ParseLogLevel(std::string_view text, LogLevel& level);

// Records of `level` and more severe ones are written; Info at start.
void SetLogLevel(LogLevel level);
LogLevel CurrentLogLevel();
bool LogEnabled(LogLevel level);

// Appends `text` with every byte below 0x20 and DEL written as \xNN (two
// lower-case hex digits: a line break is \x0a). Other bytes, backslashes and
// bytes of multi-byte characters included, are kept as they are, so the
// result is always one line and a terminal shows no control sequence from it.
// (A backslash is kept so that records that carry their own quoting, such as
// the headless message-box lines, pass through unchanged.)
void AppendControlEscaped(std::string& out, std::string_view text);
std::string EscapeControlBytes(std::string_view text);

// What a sink receives: `text` is already escaped and holds no line break.
struct LogRecord {
  LogLevel level;
  std::string_view subsystem;
  std::string_view text;
};
using LogSink = std::function<void(const LogRecord&)>;

// Installs the sink every later record goes to; an empty sink restores
// standard error. Returns the sink it replaces, so that a test can put it back.
// A sink must not log itself.
LogSink SetLogSink(LogSink sink);

// Writes one record (when its level is enabled), escaping `text`. Standard
// error gets "HH:MM:SS level subsystem: text" in one write.
void WriteLog(LogLevel level, std::string_view subsystem, std::string_view text);

template <typename... Parts>
void Log(LogLevel level, std::string_view subsystem, const Parts&... parts) {
  if (!LogEnabled(level)) return;
  std::ostringstream line;
  (line << ... << parts);
  WriteLog(level, subsystem, line.str());
}

}  // namespace tovrik::base
