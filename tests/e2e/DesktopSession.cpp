#include "DesktopSession.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

extern char** environ;

namespace tovrik::e2e {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

bool ChildProcess::Start(const std::vector<std::string>& argv, const fs::path& logFile,
                         const std::vector<std::string>& extraEnvironment) {
  if (pid_ != 0 || argv.empty()) return false;
  std::vector<std::string> environment(extraEnvironment);
  for (char** e = environ; *e; ++e) {
    const std::string entry(*e);
    const std::string name = entry.substr(0, entry.find('='));
    bool overridden = false;
    for (const std::string& extra : extraEnvironment) overridden |= extra.substr(0, extra.find('=')) == name;
    if (!overridden) environment.push_back(entry);
  }
  std::vector<char*> args, envp;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (const std::string& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) return false;
  if (pid == 0) {
    const int log = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (log >= 0) {
      ::dup2(log, 1);
      ::dup2(log, 2);
    }
    ::execve(args[0], args.data(), envp.data());
    ::_exit(127);
  }
  pid_ = pid;
  return true;
}

bool ChildProcess::Running() {
  if (pid_ == 0) return false;
  int status = 0;
  if (::waitpid(pid_, &status, WNOHANG) == pid_) {
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    pid_ = 0;
    return false;
  }
  return true;
}

int ChildProcess::Stop(std::chrono::milliseconds grace) {
  if (!Running()) return status_;
  ::kill(pid_, SIGTERM);
  const auto deadline = Clock::now() + grace;
  while (Clock::now() < deadline) {
    if (!Running()) return status_;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
  pid_ = 0;
  status_ = -1;
  return status_;
}

VirtualDisplay::VirtualDisplay(const fs::path& folder, int width, int height) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) {
    error_ = "no pipe for Xvfb";
    return;
  }
  // Xvfb writes the display number it took to this descriptor once it is ready.
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  if (!server_.Start({"/usr/bin/Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0", screen,
                      "-nolisten", "tcp", "-noreset"},
                     folder / "xvfb.log")) {
    error_ = "cannot start /usr/bin/Xvfb (the setup script installs it)";
  }
  ::close(pipeFds[1]);
  std::string text;
  const auto deadline = Clock::now() + std::chrono::seconds(15);
  while (error_.empty() && text.find('\n') == std::string::npos && Clock::now() < deadline) {
    pollfd p{pipeFds[0], POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) {
      if (!server_.Running()) error_ = "Xvfb ended at start; see " + (folder / "xvfb.log").string();
      continue;
    }
    char buffer[16];
    const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
    if (n <= 0) {
      error_ = "Xvfb did not say its display; see " + (folder / "xvfb.log").string();
      break;
    }
    text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(pipeFds[0]);
  if (error_.empty() && text.find('\n') == std::string::npos) error_ = "Xvfb was not ready within 15 s";
  if (error_.empty()) display_ = std::atoi(text.c_str());
}

VirtualDisplay::~VirtualDisplay() { server_.Stop(); }

bool VirtualDisplay::Screenshot(const fs::path& png) {
  if (!display_) return false;
  const std::string command = "xwd -root -silent -display " + Name() + " | xwdtopnm 2>/dev/null | pnmtopng > '" +
                              png.string() + "'";
  if (std::system(command.c_str()) != 0 || !fs::exists(png) || fs::file_size(png) == 0) {
    error_ = "screenshot failed: " + command;
    return false;
  }
  return true;
}

AutomationDriver::AutomationDriver(const fs::path& socketPath) : path_(socketPath) {
  fs::remove(path_);
  listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string text = path_.string();
  if (text.size() < sizeof address.sun_path) std::memcpy(address.sun_path, text.data(), text.size());
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener_, 1) != 0) {
    ::close(listener_);
    listener_ = -1;
  }
}

AutomationDriver::~AutomationDriver() {
  if (peer_ >= 0) ::close(peer_);
  if (listener_ >= 0) ::close(listener_);
  fs::remove(path_);
}

bool AutomationDriver::WaitForClient(std::chrono::milliseconds limit) {
  if (listener_ < 0) return false;
  pollfd p{listener_, POLLIN, 0};
  if (::poll(&p, 1, static_cast<int>(limit.count())) <= 0) return false;
  peer_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
  return peer_ >= 0;
}

std::string AutomationDriver::Command(const std::string& line, std::chrono::milliseconds limit) {
  if (peer_ < 0) return "no client";
  const std::string sent = line + "\n";
  if (::send(peer_, sent.data(), sent.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(sent.size())) return "send failed";
  const auto deadline = Clock::now() + limit;
  while (pending_.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd p{peer_, POLLIN, 0};
    if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) return "no answer";
    char buffer[256];
    const ssize_t n = ::recv(peer_, buffer, sizeof buffer, 0);
    if (n <= 0) return "the client closed the channel";
    pending_.append(buffer, static_cast<std::size_t>(n));
  }
  const std::size_t end = pending_.find('\n');
  std::string answer = pending_.substr(0, end);
  pending_.erase(0, end + 1);
  return answer;
}

std::optional<std::pair<int, int>> BmpSize(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  unsigned char header[26] = {};
  if (!in.read(reinterpret_cast<char*>(header), sizeof header) || header[0] != 'B' || header[1] != 'M')
    return std::nullopt;
  const auto le32 = [&](int at) {
    return static_cast<std::int32_t>(header[at] | header[at + 1] << 8 | header[at + 2] << 16 |
                                     static_cast<std::uint32_t>(header[at + 3]) << 24);
  };
  const int height = le32(22);
  return std::make_pair(static_cast<int>(le32(18)), height < 0 ? -height : height);
}

}  // namespace tovrik::e2e
