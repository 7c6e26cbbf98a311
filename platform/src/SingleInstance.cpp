#include "platform/SingleInstance.h"

#include "base/Log.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tovrik::platform {
namespace fs = std::filesystem;

namespace {

constexpr char kRaiseRequest[] = "raise\n";

bool FillAddress(const fs::path& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  const std::string& text = path.native();
  if (text.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
  return true;
}

}  // namespace

fs::path UserRuntimeDirectory() {
  if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir && *dir) return dir;
  std::error_code ec;
  fs::path dir = fs::temp_directory_path(ec) / ("tovrik-" + std::to_string(::getuid()));
  if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return fs::temp_directory_path(ec);
  return dir;
}

SingleInstance::SingleInstance(std::string_view name, fs::path directory)
    : lockPath_(directory / std::string(name)), socketPath_(directory / (std::string(name) + ".sock")) {}

SingleInstance::~SingleInstance() { Release(); }

SingleInstance::State SingleInstance::Acquire() {
  if (state_ == State::kFirst) return state_;
  lockFd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lockFd_ < 0) {
    const char* reason = std::strerror(errno);
    base::Log(base::LogLevel::Warn, "platform", "single-instance lock ", lockPath_.string(), " cannot be opened: ", reason);
    return state_ = State::kUnavailable;
  }
  if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
    int error = errno;
    ::close(lockFd_);
    lockFd_ = -1;
    if (error == EWOULDBLOCK) return state_ = State::kAlreadyRunning;
    base::Log(base::LogLevel::Warn, "platform", "single-instance lock ", lockPath_.string(), " cannot be taken: ",
              std::strerror(error));
    return state_ = State::kUnavailable;
  }
  state_ = State::kFirst;
  if (!StartListening()) {
    const char* reason = std::strerror(errno);
    base::Log(base::LogLevel::Warn, "platform", "single-instance socket ", socketPath_.string(), " unavailable: ", reason);
  }
  return state_;
}

// Only the lock holder gets here, so a socket file left by a copy that
// crashed can be removed safely.
bool SingleInstance::StartListening() {
  sockaddr_un address;
  if (!FillAddress(socketPath_, address)) {
    errno = ENAMETOOLONG;
    return false;
  }
  ::unlink(socketPath_.c_str());
  listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) return false;
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listenFd_, 4) != 0) {
    int error = errno;
    ::close(listenFd_);
    listenFd_ = -1;
    errno = error;
    return false;
  }
  return true;
}

bool SingleInstance::AskFirstInstanceToFront() const {
  sockaddr_un address;
  if (!FillAddress(socketPath_, address)) return false;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  bool sent = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
              ::send(fd, kRaiseRequest, sizeof kRaiseRequest - 1, MSG_NOSIGNAL) == ssize_t(sizeof kRaiseRequest - 1);
  ::close(fd);
  return sent;
}

bool SingleInstance::TakeRaiseRequest() {
  if (listenFd_ < 0) return false;
  bool raise = false;
  for (;;) {
    int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) break;
    // The request is a few bytes sent before the asker closes; a client
    // that connects and sends nothing within the wait is not a request.
    timeval wait{0, 200 * 1000};
    ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    char buffer[16];
    ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
    if (got >= 5 && std::memcmp(buffer, kRaiseRequest, 5) == 0) raise = true;
    ::close(client);
  }
  return raise;
}

void SingleInstance::Release() {
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    listenFd_ = -1;
    ::unlink(socketPath_.c_str());
  }
  // The lock file itself stays: removing it could let a third copy lock a
  // fresh file while a second still holds the old one.
  if (lockFd_ >= 0) {
    ::close(lockFd_);
    lockFd_ = -1;
  }
  if (state_ == State::kFirst) state_ = State::kNotTried;
}

}  // namespace tovrik::platform
