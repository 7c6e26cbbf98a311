#include "base/Poller.h"

#include <sys/epoll.h>
#include <unistd.h>

#include <cerrno>

namespace tovrik::base {

Poller::Poller() : epoll_(::epoll_create1(EPOLL_CLOEXEC)) {}

Poller::~Poller()
{
    if (epoll_ >= 0)
        ::close(epoll_);
}

std::uint64_t Poller::Add(int fd, std::uint32_t events, PollHandler* handler)
{
    if (epoll_ < 0 || fd < 0 || handler == nullptr)
        return 0;
    const std::uint64_t key = nextKey_++;
    epoll_event event{};
    event.events = events;
    event.data.u64 = key;
    if (::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event) != 0)
        return 0;
    handlers_[key] = handler;
    return key;
}

bool Poller::Modify(std::uint64_t key, int fd, std::uint32_t events)
{
    if (epoll_ < 0 || !handlers_.contains(key))
        return false;
    epoll_event event{};
    event.events = events;
    event.data.u64 = key;
    return ::epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &event) == 0;
}

void Poller::Remove(std::uint64_t key, int fd)
{
    if (handlers_.erase(key) == 0)
        return;
    if (epoll_ >= 0 && fd >= 0)
        ::epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
}

int Poller::Wait(int timeoutMs)
{
    if (epoll_ < 0)
        return -1;
    epoll_event events[64];
    const int ready = ::epoll_wait(epoll_, events, 64, timeoutMs);
    if (ready < 0)
        return errno == EINTR ? 0 : -1;
    for (int i = 0; i < ready; ++i) {
        // A handler may have removed this or another registration.
        const auto found = handlers_.find(events[i].data.u64);
        if (found != handlers_.end())
            found->second->OnPollEvents(events[i].events);
    }
    return ready;
}

}  // namespace tovrik::base
