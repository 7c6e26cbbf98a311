#include "server/EventLoop.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <limits>

#include "server/Log.h"

namespace tovrik::server {
namespace {

constexpr std::size_t kReadChunk = 16 * 1024;
// How long a listener rests after accept() ran out of file descriptors, and
// how many waiting connections it sheds each time.
constexpr int kStarvedPauseMs = 100;
constexpr int kShedPerPause = 64;

// Descriptors left free for what the process opens besides connections:
// the database's temporary files, the sanitizers' own checks. A process at
// its very limit fails in places far from the accept loop.
constexpr int kReservedDescriptors = 16;

int OpenSpareDescriptor() { return ::open("/dev/null", O_RDONLY | O_CLOEXEC); }

int DescriptorLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
      limit.rlim_cur > static_cast<rlim_t>(std::numeric_limits<int>::max())) {
    return std::numeric_limits<int>::max();
  }
  return static_cast<int>(limit.rlim_cur);
}

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::string PeerName(const sockaddr_in& address) {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
  return std::string(text) + ":" + std::to_string(ntohs(address.sin_port));
}

// The protocol has no heartbeat and a user may sit in the lobby for hours, so
// silence alone proves nothing. A peer that vanished without closing (power
// cut, cable pulled, suspended laptop) is found by the kernel's probes: the
// first after 30 s of silence, then every 10 s, and the connection fails
// after 3 unanswered ones, i.e. within about a minute. Its close then takes
// the user out of every list like a logout.
void EnableDeadPeerProbes(int fd) {
  const int yes = 1;
  const int idleSeconds = 30;
  const int intervalSeconds = 10;
  const int probes = 3;
  setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &yes, sizeof yes);
  setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idleSeconds, sizeof idleSeconds);
  setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &intervalSeconds, sizeof intervalSeconds);
  setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
}

}  // namespace

Connection::Connection(EventLoop& loop, int fd, std::uint64_t id, std::string peer, ConnectionHandler& handler,
                       const ConnectionLimits& limits, int listener)
    : loop_(loop), fd_(fd), id_(id), peer_(std::move(peer)), handler_(handler), limits_(limits), listener_(listener) {}

Connection::~Connection() {
  if (fd_ >= 0) ::close(fd_);
}

void Connection::Consume(std::size_t bytes) {
  bytes = std::min(bytes, input_.size());
  input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(bytes));
}

void Connection::Send(std::span<const std::uint8_t> bytes) {
  if (closing_ || bytes.empty()) return;
  if (output_.size() - outputSent_ + bytes.size() > limits_.maxQueued) {
    Close("send queue over " + std::to_string(limits_.maxQueued) + " bytes (peer too slow)");
    return;
  }
  if (outputSent_ > 0 && outputSent_ == output_.size()) {
    output_.clear();
    outputSent_ = 0;
  }
  output_.insert(output_.end(), bytes.begin(), bytes.end());
  if (!Flush()) {
    Close("send failed: " + std::string(std::strerror(errno)));
    return;
  }
  loop_.UpdateInterest(*this);
}

void Connection::Close(const std::string& reason, bool flush) {
  if (closing_ && !(closeAfterFlush_ && !flush)) return;
  if (!closing_) Log(LogLevel::Info, "connection ", id_, " (", peer_, ") closed: ", reason);
  closing_ = true;
  closeAfterFlush_ = flush && outputSent_ < output_.size();
  loop_.UpdateInterest(*this);
}

bool Connection::ReadAvailable() {
  std::uint8_t chunk[kReadChunk];
  const ssize_t got = ::recv(fd_, chunk, sizeof chunk, 0);
  if (got < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return true;
    Close("receive failed: " + std::string(std::strerror(errno)));
    return false;
  }
  if (got == 0) {
    Close("peer closed the connection");
    return false;
  }
  input_.insert(input_.end(), chunk, chunk + got);
  handler_.OnData(*this);
  if (!closing_ && input_.size() > limits_.maxInput) {
    Close("more than " + std::to_string(limits_.maxInput) + " bytes without a whole frame");
    return false;
  }
  return true;
}

bool Connection::Flush() {
  while (outputSent_ < output_.size()) {
    const ssize_t sent = ::send(fd_, output_.data() + outputSent_, output_.size() - outputSent_, MSG_NOSIGNAL);
    if (sent < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK) break;
      if (errno == EINTR) continue;
      return false;
    }
    outputSent_ += static_cast<std::size_t>(sent);
  }
  if (outputSent_ == output_.size()) {
    output_.clear();
    outputSent_ = 0;
  } else if (outputSent_ > 64 * 1024) {
    output_.erase(output_.begin(), output_.begin() + static_cast<std::ptrdiff_t>(outputSent_));
    outputSent_ = 0;
  }
  return true;
}

void Connection::OnPollEvents(std::uint32_t events) { loop_.HandleEvent(*this, events); }

EventLoop::EventLoop() {
  wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  spare_ = OpenSpareDescriptor();
  descriptorLimit_ = DescriptorLimit();
  if (wake_ >= 0 && poller_.Add(wake_, EPOLLIN, this) == 0) {
    ::close(wake_);
    wake_ = -1;
  }
}

EventLoop::~EventLoop() {
  connections_.clear();
  for (auto& [fd, listener] : listeners_) ::close(fd);
  if (wake_ >= 0) ::close(wake_);
  if (spare_ >= 0) ::close(spare_);
}

bool EventLoop::Listen(const std::string& host, std::uint16_t port, ConnectionHandler& handler,
                       const ConnectionLimits& limits, std::uint16_t& boundPort, std::string& error) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  if (inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
    error = "not an IPv4 address: " + host;
    return false;
  }
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error = std::string("socket: ") + std::strerror(errno);
    return false;
  }
  const int yes = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  // The longest accept queue the kernel allows: a burst of logins beyond a
  // short queue drops handshakes, and a client whose handshake completed on
  // its side only waits for the version message that never comes.
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, SOMAXCONN) != 0) {
    error = host + ":" + std::to_string(port) + ": " + std::strerror(errno);
    ::close(fd);
    return false;
  }
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  boundPort = ntohs(address.sin_port);
  Listener& listener = listeners_.try_emplace(fd, *this, fd, handler, limits).first->second;
  listener.pollKey = poller_.Add(fd, EPOLLIN, &listener);
  if (listener.pollKey == 0) {
    error = std::string("epoll: ") + std::strerror(errno);
    listeners_.erase(fd);
    ::close(fd);
    return false;
  }
  return true;
}

std::uint64_t EventLoop::Watch(int fd, base::PollHandler& handler) { return poller_.Add(fd, EPOLLIN, &handler); }

void EventLoop::Unwatch(std::uint64_t key, int fd) { poller_.Remove(key, fd); }

void EventLoop::AddTimer(int periodMs, std::function<void()> tick) {
  timers_.push_back({periodMs, NowMs() + periodMs, std::move(tick)});
}

void EventLoop::Stop() {
  const std::uint64_t one = 1;
  // write() is async-signal-safe; the result does not matter, the counter only needs to be non-zero.
  [[maybe_unused]] const auto ignored = ::write(wake_, &one, sizeof one);
}

void EventLoop::Accept(Listener& listener) {
  for (;;) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    const int fd = ::accept4(listener.fd, reinterpret_cast<sockaddr*>(&address), &length,
                             SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EMFILE || errno == ENFILE) {
        ShedPendingConnections(listener);
      } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        Log(LogLevel::Warn, "accept failed: ", std::strerror(errno));
      }
      return;
    }
    // Descriptors are handed out lowest first: one this high means that
    // nearly all below it are taken.
    if (fd >= descriptorLimit_ - kReservedDescriptors) {
      ::close(fd);
      ShedPendingConnections(listener);
      ++listener.shed;
      return;
    }
    if (listener.starved) {
      Log(LogLevel::Warn, "accepting connections again; ", listener.shed,
          " were closed unserved while file descriptors ran out");
      listener.starved = false;
    }
    if (listener.open >= listener.limits.maxConnections) {
      Log(LogLevel::Warn, "refused ", PeerName(address), ": ", listener.open, " connections already open");
      ::close(fd);
      continue;
    }
    const int yes = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    EnableDeadPeerProbes(fd);
    auto connection = std::make_unique<Connection>(*this, fd, nextId_++, PeerName(address), *listener.handler,
                                                   listener.limits, listener.fd);
    connection->pollKey_ = poller_.Add(fd, EPOLLIN | EPOLLRDHUP, connection.get());
    if (connection->pollKey_ == 0) continue;
    ++listener.open;
    Connection& added = *connection;
    connections_.emplace(fd, std::move(connection));
    Log(LogLevel::Debug, "connection ", added.Id(), " from ", added.Peer());
    listener.handler->OnOpen(added);
  }
}

void EventLoop::ShedPendingConnections(Listener& listener) {
  // The waiting connection stays in the kernel's queue and the listener
  // reads as ready at once: without a pause the loop would spin on failing
  // accepts. Give up the spare descriptor to take waiting connections and
  // close them (their clients learn at once instead of hanging), then rest.
  if (!listener.starved) {
    Log(LogLevel::Warn, "out of file descriptors: closing new connections unserved until some are free");
    listener.starved = true;
    listener.shed = 0;
  }
  if (spare_ >= 0) {
    ::close(spare_);
    for (int i = 0; i < kShedPerPause; ++i) {
      const int fd = ::accept4(listener.fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd < 0) break;
      ::close(fd);
      ++listener.shed;
    }
    spare_ = OpenSpareDescriptor();
  }
  poller_.Modify(listener.pollKey, listener.fd, 0);
  listener.paused = true;
  listener.resumeAtMs = NowMs() + kStarvedPauseMs;
}

int EventLoop::ResumeListeners(int wait) {
  const std::int64_t now = NowMs();
  for (auto& [fd, listener] : listeners_) {
    if (!listener.paused) continue;
    if (listener.resumeAtMs > now) {
      wait = static_cast<int>(std::min<std::int64_t>(wait, listener.resumeAtMs - now));
      continue;
    }
    poller_.Modify(listener.pollKey, fd, EPOLLIN);
    listener.paused = false;
  }
  return wait;
}

void EventLoop::UpdateInterest(Connection& connection) {
  const bool wantWrite = connection.outputSent_ < connection.output_.size();
  if (wantWrite == connection.wantWrite_) return;
  connection.wantWrite_ = wantWrite;
  poller_.Modify(connection.pollKey_, connection.fd_, EPOLLIN | EPOLLRDHUP | (wantWrite ? EPOLLOUT : 0u));
}

void EventLoop::HandleEvent(Connection& connection, std::uint32_t events) {
  if (connection.closing_ && !connection.closeAfterFlush_) return;
  if (events & EPOLLOUT) {
    if (!connection.Flush()) {
      connection.closeAfterFlush_ = false;
      connection.Close("send failed: " + std::string(std::strerror(errno)));
      return;
    }
    UpdateInterest(connection);
  }
  if (connection.closing_) return;
  if (events & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR)) connection.ReadAvailable();
}

void EventLoop::Reap() {
  for (auto it = connections_.begin(); it != connections_.end();) {
    Connection& connection = *it->second;
    const bool flushed = connection.outputSent_ >= connection.output_.size();
    if (!connection.closing_ || (connection.closeAfterFlush_ && !flushed)) {
      ++it;
      continue;
    }
    auto owned = std::move(it->second);
    it = connections_.erase(it);
    poller_.Remove(owned->pollKey_, owned->fd_);
    auto listener = listeners_.find(owned->listener_);
    if (listener != listeners_.end()) --listener->second.open;
    owned->handler_.OnClose(*owned);
  }
}

int EventLoop::RunTimers() {
  std::int64_t now = NowMs();
  int wait = 1000;
  for (auto& timer : timers_) {
    if (timer.dueMs <= now) {
      timer.tick();
      now = NowMs();
      timer.dueMs = now + timer.periodMs;
    }
    wait = static_cast<int>(std::min<std::int64_t>(wait, timer.dueMs - now));
  }
  return std::max(wait, 0);
}

void EventLoop::OnPollEvents(std::uint32_t) { stopping_ = true; }

void EventLoop::Run() {
  while (!stopping_) {
    const int timeout = ResumeListeners(RunTimers());
    Reap();
    if (poller_.Wait(timeout) < 0) {
      Log(LogLevel::Error, "epoll_wait failed: ", std::strerror(errno));
      break;
    }
    Reap();
  }
  for (auto& [fd, connection] : connections_) connection->Close("server shutting down");
  Reap();
}

}  // namespace tovrik::server
