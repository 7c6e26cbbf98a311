#pragma once
// A single-threaded epoll loop of listening sockets and non-blocking TCP
// connections. Each connection has an input buffer that its handler consumes
// and an output queue that the loop flushes; both are bounded, and a
// connection that exceeds a bound is closed without touching the others.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/Poller.h"

namespace tovrik::server {

class Connection;

class ConnectionHandler {
 public:
  virtual ~ConnectionHandler() = default;
  virtual void OnOpen(Connection& connection) = 0;
  // New bytes are in connection.Input(); consume what forms whole frames.
  virtual void OnData(Connection& connection) = 0;
  // Called once, after which the connection is gone.
  virtual void OnClose(Connection& connection) = 0;
};

struct ConnectionLimits {
  std::size_t maxInput = 64 * 1024;       // unconsumed bytes held for one connection
  std::size_t maxQueued = 1024 * 1024;    // bytes waiting to be sent to one connection
  int maxConnections = 1024;              // per listening socket
};

class EventLoop;

class Connection : private base::PollHandler {
 public:
  Connection(EventLoop& loop, int fd, std::uint64_t id, std::string peer, ConnectionHandler& handler,
             const ConnectionLimits& limits, int listener);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  std::uint64_t Id() const { return id_; }
  const std::string& Peer() const { return peer_; }
  bool Closing() const { return closing_; }

  std::span<const std::uint8_t> Input() const { return input_; }
  // Bytes waiting to be sent.
  std::size_t Queued() const { return output_.size() - outputSent_; }
  void Consume(std::size_t bytes);

  // Queues bytes; a queue beyond the limit closes the connection.
  void Send(std::span<const std::uint8_t> bytes);
  // Closes after the queued bytes are written (or at once, when `flush` is false).
  void Close(const std::string& reason, bool flush = false);

  // The handler's own state for this connection.
  void* context = nullptr;

 private:
  friend class EventLoop;
  void OnPollEvents(std::uint32_t events) override;
  bool ReadAvailable();
  bool Flush();

  EventLoop& loop_;
  int fd_;
  std::uint64_t id_;
  std::string peer_;
  ConnectionHandler& handler_;
  ConnectionLimits limits_;
  int listener_;
  std::vector<std::uint8_t> input_;
  std::vector<std::uint8_t> output_;
  std::size_t outputSent_ = 0;
  bool closing_ = false;
  bool closeAfterFlush_ = false;
  bool wantWrite_ = false;
  std::uint64_t pollKey_ = 0;
};

class EventLoop : private base::PollHandler {
 public:
  EventLoop();
  ~EventLoop();
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  bool Ok() const { return poller_.IsOpen() && wake_ >= 0; }

  // Listens on host:port (port 0 picks a free one, returned in `boundPort`).
  bool Listen(const std::string& host, std::uint16_t port, ConnectionHandler& handler,
              const ConnectionLimits& limits, std::uint16_t& boundPort, std::string& error);
  // Runs `handler` from the loop whenever `fd` is readable (a descriptor that
  // another thread signals, for instance); returns the key for Unwatch, 0 on failure.
  std::uint64_t Watch(int fd, base::PollHandler& handler);
  void Unwatch(std::uint64_t key, int fd);
  // Calls `tick` about every `periodMs` milliseconds from the loop.
  void AddTimer(int periodMs, std::function<void()> tick);

  // Runs until Stop(); returns after every connection has been closed.
  void Run();
  // Safe from a signal handler and from other threads.
  void Stop();

 private:
  friend class Connection;
  struct Listener : base::PollHandler {
    Listener(EventLoop& loop, int fd, ConnectionHandler& handler, const ConnectionLimits& limits)
        : loop(loop), fd(fd), handler(&handler), limits(limits) {}
    void OnPollEvents(std::uint32_t) override { loop.Accept(*this); }

    EventLoop& loop;
    int fd;
    ConnectionHandler* handler;
    ConnectionLimits limits;
    int open = 0;
    std::uint64_t pollKey = 0;
    // Out of file descriptors: not watched until resumeAtMs, and the
    // connections shed meanwhile, for one log line per episode.
    bool starved = false;
    bool paused = false;
    std::int64_t resumeAtMs = 0;
    int shed = 0;
  };
  struct Timer {
    int periodMs;
    std::int64_t dueMs;
    std::function<void()> tick;
  };

  // The wake descriptor: Stop() was called.
  void OnPollEvents(std::uint32_t events) override;
  void Accept(Listener& listener);
  void ShedPendingConnections(Listener& listener);
  // Starts watching paused listeners again; returns the milliseconds until
  // the next one is due (or `wait`, when none is paused).
  int ResumeListeners(int wait);
  void HandleEvent(Connection& connection, std::uint32_t events);
  void UpdateInterest(Connection& connection);
  void Reap();
  int RunTimers();

  base::Poller poller_;
  int wake_ = -1;
  // Kept open to be given up when accept() runs out of descriptors (see
  // ShedPendingConnections).
  int spare_ = -1;
  int descriptorLimit_ = 0;  // the process's RLIMIT_NOFILE
  std::map<int, Listener> listeners_;
  std::map<int, std::unique_ptr<Connection>> connections_;  // by fd
  std::vector<Timer> timers_;
  std::uint64_t nextId_ = 1;
  bool stopping_ = false;
};

}  // namespace tovrik::server
