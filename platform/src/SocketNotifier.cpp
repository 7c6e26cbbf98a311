#include "platform/SocketNotifier.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <vector>

#include "platform/EventLoop.h"

namespace tovrik::platform {

int WinsockErrorFromErrno(int error) {
  switch (error) {
    case 0: return 0;
    case EAGAIN: return WSAEWOULDBLOCK;
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK: return WSAEWOULDBLOCK;
#endif
    case EINPROGRESS: return WSAEWOULDBLOCK;
    case ENETDOWN: return WSAENETDOWN;
    case ENETUNREACH: return WSAENETUNREACH;
    case ECONNABORTED: return WSAECONNABORTED;
    case ECONNRESET: return WSAECONNRESET;
    case EPIPE: return WSAECONNRESET;
    case ENOTCONN: return WSAENOTCONN;
    case ETIMEDOUT: return WSAETIMEDOUT;
    case ECONNREFUSED: return WSAECONNREFUSED;
    case EHOSTUNREACH: return WSAEHOSTUNREACH;
    default: return 10000 + error;
  }
}

void SocketNotifier::WatchConnecting(int fd, WindowHandle window, MsgId message) {
  watches_[fd] = Watch{window, message, State::Connecting, false, nextGeneration_++};
}

void SocketNotifier::WatchConnected(int fd, WindowHandle window, MsgId message) {
  // A fresh connection is writable: say so once, as after a connect.
  watches_[fd] = Watch{window, message, State::Connected, true, nextGeneration_++};
}

void SocketNotifier::RequestWrite(int fd) {
  if (auto it = watches_.find(fd); it != watches_.end()) it->second.writeWanted = true;
}

void SocketNotifier::Unwatch(int fd) { watches_.erase(fd); }

bool SocketNotifier::Notify(int fd, std::uint64_t generation, unsigned event, int error) {
  auto it = watches_.find(fd);
  if (it == watches_.end() || it->second.generation != generation) return false;
  const Watch watch = it->second;
  if (event == FD_CLOSE || (event == FD_CONNECT && error != 0)) watches_.erase(it);
  loop_.SendMessage(watch.window, watch.message, static_cast<WParam>(fd), MakeSelectReply(event, error));
  return true;
}

void SocketNotifier::WaitReadable(int timeoutMs) const {
  std::vector<pollfd> fds;
  for (const auto& [fd, watch] : watches_) {
    short events = POLLIN;
    if (watch.state == State::Connecting || watch.writeWanted) events |= POLLOUT;
    fds.push_back({fd, events, 0});
  }
  ::poll(fds.data(), fds.size(), timeoutMs);
}

int SocketNotifier::Poll(int timeoutMs) {
  if (watches_.empty()) return 0;
  std::vector<pollfd> fds;
  std::vector<std::uint64_t> generations;
  for (const auto& [fd, watch] : watches_) {
    short events = POLLIN;
    if (watch.state == State::Connecting || watch.writeWanted) events |= POLLOUT;
    fds.push_back({fd, events, 0});
    generations.push_back(watch.generation);
  }
  if (::poll(fds.data(), fds.size(), timeoutMs) <= 0) return 0;

  int sent = 0;
  for (std::size_t i = 0; i < fds.size(); ++i) {
    const int fd = fds[i].fd;
    const short revents = fds[i].revents;
    if (revents == 0) continue;
    // Handlers run between sockets; one may have dropped or replaced this one.
    auto it = watches_.find(fd);
    if (it == watches_.end() || it->second.generation != generations[i]) continue;

    if (it->second.state == State::Connecting) {
      if (!(revents & (POLLOUT | POLLERR | POLLHUP))) continue;
      int error = 0;
      socklen_t length = sizeof error;
      if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
      if (error == 0 && (revents & POLLHUP)) error = ECONNREFUSED;
      if (error != 0) {
        sent += Notify(fd, generations[i], FD_CONNECT, WinsockErrorFromErrno(error));
        continue;
      }
      it->second.state = State::Connected;
      sent += Notify(fd, generations[i], FD_CONNECT, 0);
      sent += Notify(fd, generations[i], FD_WRITE, 0);
      continue;  // bytes already waiting are reported on the next iteration
    }

    if (revents & (POLLIN | POLLERR | POLLHUP)) {
      char probe;
      const ssize_t n = ::recv(fd, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
      if (n > 0) {
        sent += Notify(fd, generations[i], FD_READ, 0);
      } else if (n == 0) {
        sent += Notify(fd, generations[i], FD_CLOSE, 0);
        continue;
      } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        sent += Notify(fd, generations[i], FD_CLOSE, WinsockErrorFromErrno(errno));
        continue;
      }
    }
    if (revents & POLLOUT) {
      it = watches_.find(fd);
      if (it != watches_.end() && it->second.generation == generations[i] && it->second.writeWanted) {
        it->second.writeWanted = false;
        sent += Notify(fd, generations[i], FD_WRITE, 0);
      }
    }
  }
  return sent;
}

}  // namespace tovrik::platform
