#include "server/ServerContext.h"

#include <ctime>

namespace tovrik::server {

std::int64_t ServerContext::Now() const { return static_cast<std::int64_t>(std::time(nullptr)); }

}  // namespace tovrik::server
