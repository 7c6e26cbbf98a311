#pragma once
// Readiness of non-blocking sockets, delivered to a window as messages on
// the user-interface thread, the way an asynchronous Windows socket
// (WSAAsyncSelect) reports it:
//
//   message id:  the one given to Watch*
//   wParam:      the file descriptor
//   lParam:      MakeSelectReply(event, error): the event (FD_*) in the low
//                word, a Winsock error code (WSAE*, 0 for none) in the high
//
// Order and rules, per socket:
// - Started with WatchConnecting after connect() returned 0 or EINPROGRESS.
//   When the attempt ends: FD_CONNECT with error 0 followed by FD_WRITE, or
//   FD_CONNECT with the error (e.g. WSAECONNREFUSED), after which the socket
//   is no longer watched.
// - FD_READ while unread bytes are waiting, once per loop iteration, until
//   they are read (read with recv; a handler that leaves them gets FD_READ
//   again on the next iteration).
// - FD_CLOSE once, after every byte the peer sent was read: error 0 for an
//   orderly close, else the error (WSAECONNRESET...). The socket is then no
//   longer watched; closing the descriptor is left to its owner.
// - FD_WRITE after the connect, then only once after each RequestWrite
//   (call it when send() would block) when the socket accepts data again.
// Always call Unwatch before closing a watched descriptor.
//
// Messages are sent (handled before the next socket's) from the loop's
// socket step, so a handler may open a modal box: the nested loop goes on
// polling, and a second FD_READ can arrive while the first is handled.

#include <cstdint>
#include <map>

#include "platform/Messages.h"

namespace tovrik::platform {

enum class WindowHandle : std::uint32_t;
class EventLoop;

inline constexpr unsigned FD_READ = 0x01;
inline constexpr unsigned FD_WRITE = 0x02;
inline constexpr unsigned FD_OOB = 0x04;
inline constexpr unsigned FD_ACCEPT = 0x08;
inline constexpr unsigned FD_CONNECT = 0x10;
inline constexpr unsigned FD_CLOSE = 0x20;

inline constexpr int WSAEWOULDBLOCK = 10035;
inline constexpr int WSAENETDOWN = 10050;
inline constexpr int WSAENETUNREACH = 10051;
inline constexpr int WSAECONNABORTED = 10053;
inline constexpr int WSAECONNRESET = 10054;
inline constexpr int WSAENOTCONN = 10057;
inline constexpr int WSAETIMEDOUT = 10060;
inline constexpr int WSAECONNREFUSED = 10061;
inline constexpr int WSAEHOSTUNREACH = 10065;

constexpr LParam MakeSelectReply(unsigned event, int error) {
  return static_cast<LParam>((event & 0xFFFFu) | (static_cast<std::uint32_t>(error & 0xFFFF) << 16));
}
constexpr unsigned GetSelectEvent(LParam l) { return static_cast<unsigned>(l) & 0xFFFFu; }
constexpr int GetSelectError(LParam l) { return static_cast<int>((static_cast<std::uint32_t>(l) >> 16) & 0xFFFFu); }

// The Winsock code for an errno value (EAGAIN -> WSAEWOULDBLOCK,
// ENETDOWN -> WSAENETDOWN, ...); 10000 + errno for the rest.
int WinsockErrorFromErrno(int error);

class SocketNotifier {
 public:
  explicit SocketNotifier(EventLoop& loop) : loop_(loop) {}

  void WatchConnecting(int fd, WindowHandle window, MsgId message);
  // A socket that is connected already (FD_WRITE comes first).
  void WatchConnected(int fd, WindowHandle window, MsgId message);
  void RequestWrite(int fd);
  void Unwatch(int fd);
  bool IsWatched(int fd) const { return watches_.count(fd) != 0; }
  bool Empty() const { return watches_.empty(); }

  // Polls every watched socket, waiting at most `timeoutMs` for one to be
  // ready, and sends what is ready. Returns the number of messages sent.
  int Poll(int timeoutMs);
  // Waits at most `timeoutMs` for a watched socket to become ready, without
  // delivering anything.
  void WaitReadable(int timeoutMs) const;

 private:
  enum class State { Connecting, Connected };
  struct Watch {
    WindowHandle window;
    MsgId message;
    State state;
    bool writeWanted;
    std::uint64_t generation;
  };
  bool Notify(int fd, std::uint64_t generation, unsigned event, int error);

  EventLoop& loop_;
  std::map<int, Watch> watches_;
  std::uint64_t nextGeneration_ = 1;
};

}  // namespace tovrik::platform
