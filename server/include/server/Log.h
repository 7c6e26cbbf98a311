#pragma once
// The server's records go through the shared log under the subsystem name
// "server": one line each on standard error, control bytes of ids and
// nicknames escaped, filtered by the process-wide level that --log-level sets.

#include "base/Log.h"

namespace tovrik::server {

using base::LogEnabled;
using base::LogLevel;
using base::ParseLogLevel;
using base::SetLogLevel;

// Log(LogLevel::Info, "user ", id, " entered channel ", chan);
template <typename... Parts>
void Log(LogLevel level, const Parts&... parts) {
  base::Log(level, "server", parts...);
}

}  // namespace tovrik::server
