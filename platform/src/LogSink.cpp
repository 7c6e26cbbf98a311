#include "platform/LogSink.h"

#include "base/Log.h"

#include <SDL.h>

namespace tovrik::platform {
namespace {

SDL_LogPriority PriorityOf(base::LogLevel level) {
  switch (level) {
    case base::LogLevel::Error: return SDL_LOG_PRIORITY_ERROR;
    case base::LogLevel::Warn: return SDL_LOG_PRIORITY_WARN;
    case base::LogLevel::Info: return SDL_LOG_PRIORITY_INFO;
    case base::LogLevel::Debug: return SDL_LOG_PRIORITY_DEBUG;
  }
  return SDL_LOG_PRIORITY_INFO;
}

}  // namespace

void InstallSdlLogSink() {
  // The shared log filters by its own level; SDL's filter must not drop
  // what that one let through.
  SDL_LogSetPriority(SDL_LOG_CATEGORY_APPLICATION, SDL_LOG_PRIORITY_DEBUG);
  base::SetLogSink([](const base::LogRecord& record) {
    SDL_LogMessage(SDL_LOG_CATEGORY_APPLICATION, PriorityOf(record.level), "%.*s: %.*s", int(record.subsystem.size()),
                   record.subsystem.data(), int(record.text.size()), record.text.data());
  });
}

}  // namespace tovrik::platform
