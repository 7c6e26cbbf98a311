#include "server/ServerChild.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace tovrik::server {
namespace {

ListenAddress ParseAddress(const std::string& text) {
  const auto colon = text.rfind(':');
  if (colon == std::string::npos) return {};
  return {text.substr(0, colon), std::atoi(text.c_str() + colon + 1)};
}

}  // namespace

ServerChild::~ServerChild() { Stop(); }

bool ServerChild::Start(const std::filesystem::path& program, const std::vector<std::string>& args,
                        const std::filesystem::path& logFile, std::string& error) {
  if (Running()) {
    error = "already running";
    return false;
  }
  logFile_ = logFile;
  std::vector<std::string> command{program.string()};
  // Tests and robots run many servers at once: none takes the fixed shop
  // port unless asked to.
  if (std::find(args.begin(), args.end(), "--shop-port") == args.end()) {
    command.insert(command.end(), {"--shop-port", "0"});
  }
  command.insert(command.end(), args.begin(), args.end());
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) {
    error = "cannot make a pipe";
    return false;
  }
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    const int log = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (log >= 0) ::dup2(log, STDERR_FILENO);
    std::vector<char*> argv;
    for (std::string& word : command) argv.push_back(word.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  if (pid_ < 0) {
    ::close(out[0]);
    error = "cannot start " + program.string();
    return false;
  }
  ReadAddresses(out[0]);
  ::close(out[0]);
  if (master_.port <= 0 && games_.empty()) {
    error = program.string() + " did not start: " + Log();
    Stop();
    return false;
  }
  return true;
}

// The first line names the chosen ports: "master HOST:PORT game HOST:PORT ...".
void ServerChild::ReadAddresses(int fd) {
  std::string line;
  char c = 0;
  pollfd wait{fd, POLLIN, 0};
  while (::poll(&wait, 1, 10000) > 0 && ::read(fd, &c, 1) == 1 && c != '\n') line += c;
  std::istringstream words(line);
  std::string kind, address;
  while (words >> kind >> address) {
    if (kind == "master") master_ = ParseAddress(address);
    if (kind == "game") games_.push_back(ParseAddress(address));
    if (kind == "shop") shop_ = ParseAddress(address);
  }
}

void ServerChild::Signal(int signal) {
  if (pid_ > 0) ::kill(pid_, signal);
}

int ServerChild::Stop() {
  if (pid_ <= 0) return -1;
  ::kill(pid_, SIGTERM);
  int status = 0;
  for (int i = 0; i < 100; ++i) {
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  return -1;
}

std::string ServerChild::Log() const {
  std::ifstream in(logFile_);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace tovrik::server
