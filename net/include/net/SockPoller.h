#pragma once
// A readiness source built on poll(2), for an event loop that asks the
// socket layer to wait or to look once per iteration.

#include <vector>

#include "net/SockEvents.h"

namespace tovrik::net {

class CSockPoller : public ISockReadiness {
public:
    void Watch(int fd, ISockReadyHandler* handler, bool wantWrite) override;
    void SetWantWrite(int fd, bool wantWrite) override;
    void Unwatch(int fd) override;

    // Waits up to timeoutMs (0: just looks) and calls the handler of every
    // ready descriptor. Returns the number of descriptors handled.
    int Poll(int timeoutMs);

    bool IsWatching(int fd) const;
    int GetWatchCount() const { return static_cast<int>(m_Watches.size()); }

private:
    struct WatchEntry {
        int fd;
        ISockReadyHandler* handler;
        bool wantWrite;
    };
    std::vector<WatchEntry> m_Watches;
};

}  // namespace tovrik::net
