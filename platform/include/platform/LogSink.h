#pragma once
// Where the client's log records go: into SDL's log, so that the program's
// records and SDL's own share one stream with SDL's priorities.

namespace tovrik::platform {

// Installs the sink for every later record of tovrik::base's log. SDL's log
// needs no SDL_Init, so this may run first thing in main.
void InstallSdlLogSink();

}  // namespace tovrik::platform
