#pragma once
// Master and game servers played by the test on loopback: each listens,
// accepts the client's connection and exchanges real frames built with the
// protocol's message classes. The client runs in the same thread, so every
// wait pumps the client's event loop.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

#include "net/CommMsg.h"
#include "net/MsgHeader.h"
#include "platform/EventLoop.h"

namespace tovrik::app::test {

using Bytes = std::vector<char>;

// Runs the client's loop once, or waits briefly for a socket when idle.
inline void PumpClient(platform::EventLoop& loop) {
  if (!loop.PumpOnce()) loop.Sockets().WaitReadable(2);
}

inline bool PumpUntil(platform::EventLoop& loop, const std::function<bool()>& done, int ms = 3000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    PumpClient(loop);
  }
  return true;
}

inline void PumpFor(platform::EventLoop& loop, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) PumpClient(loop);
}

struct ReceivedFrame {
  int id = 0;
  Bytes bytes;  // still scrambled, as on the wire
};

class FakeServer {
 public:
  FakeServer() {
    listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(listen_, 8);
    socklen_t len = sizeof addr;
    ::getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
  }
  ~FakeServer() {
    if (peer >= 0) ::close(peer);
    ::close(listen_);
  }
  FakeServer(const FakeServer&) = delete;
  FakeServer& operator=(const FakeServer&) = delete;

  // Accepts the client's connection while the client's loop runs.
  bool Accept(platform::EventLoop& loop, int ms = 3000) {
    return PumpUntil(
        loop,
        [&] {
          const int fd = ::accept(listen_, nullptr, nullptr);
          if (fd < 0) return false;
          peer = fd;
          return true;
        },
        ms);
  }

  // The client's port of the accepted connection.
  int PeerPort() const {
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    ::getpeername(peer, reinterpret_cast<sockaddr*>(&addr), &len);
    return ntohs(addr.sin_port);
  }

  // Sends a built message the way a server does: scrambled.
  template <typename Message>
  void Send(const Message& msg) {
    Bytes frame(msg.GetData(), msg.GetData() + msg.GetTotalSize());
    net::CCommMsg::EncodeAll(frame.data(), static_cast<int>(frame.size()));
    ::send(peer, frame.data(), frame.size(), MSG_NOSIGNAL);
  }

  void Disconnect() {
    ::close(peer);
    peer = -1;
  }

  // The next frame the client sent, while the client's loop runs.
  std::optional<ReceivedFrame> Receive(platform::EventLoop& loop, int ms = 3000) {
    std::optional<ReceivedFrame> frame;
    PumpUntil(
        loop,
        [&] {
          ReadAvailable();
          frame = CutFrame();
          return frame.has_value() || closed_;
        },
        ms);
    return frame;
  }

  // True when the client closed the connection.
  bool SawClose(platform::EventLoop& loop, int ms = 3000) {
    return PumpUntil(
        loop,
        [&] {
          ReadAvailable();
          return closed_;
        },
        ms);
  }

 public:
  int port = 0;
  int peer = -1;

 private:
  void ReadAvailable() {
    if (peer < 0) return;
    char buf[4096];
    for (;;) {
      const ssize_t got = ::recv(peer, buf, sizeof buf, MSG_DONTWAIT);
      if (got > 0) {
        stream_.insert(stream_.end(), buf, buf + got);
        continue;
      }
      if (got == 0) closed_ = true;
      return;
    }
  }

  std::optional<ReceivedFrame> CutFrame() {
    if (stream_.size() < static_cast<size_t>(net::kHeaderSize)) return std::nullopt;
    int id = 0;
    std::uint32_t dataLen = 0;
    if (!net::CCommMsg::CheckInfo(stream_.data(), static_cast<int>(stream_.size()), &id, &dataLen)) return std::nullopt;
    const size_t total = net::kHeaderSize + dataLen;
    if (stream_.size() < total) return std::nullopt;
    ReceivedFrame frame{id, Bytes(stream_.begin(), stream_.begin() + static_cast<std::ptrdiff_t>(total))};
    stream_.erase(stream_.begin(), stream_.begin() + static_cast<std::ptrdiff_t>(total));
    return frame;
  }

  int listen_ = -1;
  Bytes stream_;
  bool closed_ = false;
};

}  // namespace tovrik::app::test
