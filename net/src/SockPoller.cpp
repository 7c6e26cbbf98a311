#include "net/SockPoller.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>

namespace tovrik::net {

void CSockPoller::Watch(int fd, ISockReadyHandler* handler, bool wantWrite)
{
    Unwatch(fd);
    m_Watches.push_back({fd, handler, wantWrite});
}

void CSockPoller::SetWantWrite(int fd, bool wantWrite)
{
    for (WatchEntry& w : m_Watches)
        if (w.fd == fd) w.wantWrite = wantWrite;
}

void CSockPoller::Unwatch(int fd)
{
    std::erase_if(m_Watches, [fd](const WatchEntry& w) { return w.fd == fd; });
}

bool CSockPoller::IsWatching(int fd) const
{
    return std::any_of(m_Watches.begin(), m_Watches.end(), [fd](const WatchEntry& w) { return w.fd == fd; });
}

int CSockPoller::Poll(int timeoutMs)
{
    std::vector<pollfd> fds;
    fds.reserve(m_Watches.size());
    for (const WatchEntry& w : m_Watches)
        fds.push_back({w.fd, static_cast<short>(POLLIN | (w.wantWrite ? POLLOUT : 0)), 0});
    if (fds.empty()) return 0;
    int ready = poll(fds.data(), fds.size(), timeoutMs);
    if (ready <= 0) return 0;

    int handled = 0;
    for (const pollfd& p : fds) {
        if (p.revents == 0) continue;
        // A handler may close sockets, its own or others: look the
        // descriptor up again before every call.
        auto it = std::find_if(m_Watches.begin(), m_Watches.end(), [&](const WatchEntry& w) { return w.fd == p.fd; });
        if (it == m_Watches.end()) continue;
        ++handled;
        it->handler->OnSocketReady(p.revents & POLLIN, p.revents & POLLOUT, p.revents & (POLLERR | POLLHUP | POLLNVAL));
    }
    return handled;
}

}  // namespace tovrik::net
