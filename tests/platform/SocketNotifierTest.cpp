#include "platform/SocketNotifier.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "RecordingWindow.h"

namespace tovrik::platform {
namespace {

using testing::Received;
using testing::RecordingWindow;

constexpr MsgId kSocketMessage = WM_USER + 900;

// A listening socket on the loopback address.
class Listener {
 public:
  Listener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(fd_, 4);
    socklen_t length = sizeof address;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~Listener() { Close(); }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int Accept() { return ::accept(fd_, nullptr, nullptr); }
  int Port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

int StartConnect(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const int rc = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  EXPECT_TRUE(rc == 0 || errno == EINPROGRESS);
  return fd;
}

class SocketNotifierTest : public ::testing::Test {
 protected:
  SocketNotifierTest() : window_("sock", log_) { window_.Create(nullptr, Rect::FromSize(0, 0, 10, 10)); }

  // Polls until `count` socket messages were seen (or a second passed).
  void PollFor(std::size_t count) {
    for (int i = 0; i < 200 && Events().size() < count; ++i) loop_.Sockets().Poll(5);
  }
  std::vector<std::string> Events() const {
    std::vector<std::string> out;
    for (const auto& r : log_) {
      if (r.msg != kSocketMessage) continue;
      const char* names[] = {"", "read", "write", "", "", "", "", "", "", "", "", "", "", "", "", "", "connect"};
      const unsigned event = GetSelectEvent(r.l);
      std::string name = event == FD_CLOSE ? "close" : event < 17 ? names[event] : "?";
      out.push_back(name + "/" + std::to_string(GetSelectError(r.l)));
    }
    return out;
  }

  EventLoop loop_;
  std::vector<Received> log_;
  RecordingWindow window_;
};

TEST_F(SocketNotifierTest, ConnectWriteReadThenCloseInTheOrderOfAnAsynchronousSocket) {
  Listener listener;
  const int fd = StartConnect(listener.Port());
  loop_.Sockets().WatchConnecting(fd, window_.Handle(), kSocketMessage);
  PollFor(2);
  EXPECT_EQ(Events(), (std::vector<std::string>{"connect/0", "write/0"}));
  EXPECT_EQ(log_.back().w, static_cast<WParam>(fd));

  const int peer = listener.Accept();
  ASSERT_EQ(::send(peer, "abc", 3, 0), 3);
  ::close(peer);
  PollFor(3);
  ASSERT_EQ(Events().size(), 3u);
  EXPECT_EQ(Events()[2], "read/0");
  // The close is reported only once every byte was read.
  loop_.Sockets().Poll(5);
  EXPECT_EQ(Events().size(), 4u);
  EXPECT_EQ(Events()[3], "read/0");
  char buffer[8];
  EXPECT_EQ(::recv(fd, buffer, sizeof buffer, 0), 3);
  PollFor(5);
  EXPECT_EQ(Events().back(), "close/0");
  EXPECT_FALSE(loop_.Sockets().IsWatched(fd));
  ::close(fd);
}

TEST_F(SocketNotifierTest, RefusedConnectionReportsTheErrorOnce) {
  int port;
  {
    Listener closed;
    port = closed.Port();
  }
  const int fd = StartConnect(port);
  loop_.Sockets().WatchConnecting(fd, window_.Handle(), kSocketMessage);
  PollFor(1);
  EXPECT_EQ(Events(), (std::vector<std::string>{"connect/" + std::to_string(WSAECONNREFUSED)}));
  EXPECT_FALSE(loop_.Sockets().IsWatched(fd));
  ::close(fd);
}

TEST_F(SocketNotifierTest, WriteIsReportedAgainOnlyWhenAsked) {
  Listener listener;
  const int fd = StartConnect(listener.Port());
  loop_.Sockets().WatchConnecting(fd, window_.Handle(), kSocketMessage);
  PollFor(2);
  loop_.Sockets().Poll(5);
  EXPECT_EQ(Events().size(), 2u);
  loop_.Sockets().RequestWrite(fd);
  PollFor(3);
  EXPECT_EQ(Events().back(), "write/0");
  loop_.Sockets().Unwatch(fd);
  ::close(fd);
}

TEST_F(SocketNotifierTest, HandlerMayUnwatchDuringDelivery) {
  Listener listener;
  const int fd = StartConnect(listener.Port());
  window_.onMessage = [&](MsgId msg, WParam, LParam l) {
    if (msg == kSocketMessage && GetSelectEvent(l) == FD_CONNECT) loop_.Sockets().Unwatch(fd);
    return false;
  };
  loop_.Sockets().WatchConnecting(fd, window_.Handle(), kSocketMessage);
  PollFor(1);
  loop_.Sockets().Poll(5);
  EXPECT_EQ(Events(), (std::vector<std::string>{"connect/0"}));
  ::close(fd);
}

TEST(WinsockErrorTest, MapsTheErrorsTheSocketLayerTellsApart) {
  EXPECT_EQ(WinsockErrorFromErrno(EAGAIN), WSAEWOULDBLOCK);
  EXPECT_EQ(WinsockErrorFromErrno(ENETDOWN), WSAENETDOWN);
  EXPECT_EQ(WinsockErrorFromErrno(ECONNRESET), WSAECONNRESET);
  EXPECT_EQ(WinsockErrorFromErrno(0), 0);
}

}  // namespace
}  // namespace tovrik::platform
