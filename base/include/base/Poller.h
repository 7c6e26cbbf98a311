#pragma once
// The one epoll loop of the server and the robots: descriptors are
// registered with a handler and a key that is never reused, so an event that
// was already collected for a descriptor closed in the same round is dropped
// instead of reaching whoever got the same descriptor number next.

#include <cstdint>
#include <unordered_map>

namespace tovrik::base {

class PollHandler {
public:
    virtual ~PollHandler() = default;
    // `events` are epoll event bits (EPOLLIN, EPOLLOUT, EPOLLERR, EPOLLHUP).
    virtual void OnPollEvents(std::uint32_t events) = 0;
};

class Poller {
public:
    Poller();
    ~Poller();
    Poller(const Poller&) = delete;
    Poller& operator=(const Poller&) = delete;

    bool IsOpen() const { return epoll_ >= 0; }
    // Returns the registration key, or 0 on failure.
    std::uint64_t Add(int fd, std::uint32_t events, PollHandler* handler);
    bool Modify(std::uint64_t key, int fd, std::uint32_t events);
    void Remove(std::uint64_t key, int fd);
    // Waits at most `timeoutMs` (0 = just look) and runs the handlers of
    // what is ready. Returns the number of events handled, -1 on failure.
    int Wait(int timeoutMs);

private:
    int epoll_ = -1;
    std::uint64_t nextKey_ = 1;
    std::unordered_map<std::uint64_t, PollHandler*> handlers_;
};

}  // namespace tovrik::base
