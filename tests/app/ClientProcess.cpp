#include "ClientProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;
namespace fs = std::filesystem;

namespace {
std::atomic<int> g_sandboxCount{0};
}

ClientSandbox::ClientSandbox()
    : dir_(fs::temp_directory_path() /
           ("tovrik-client-" + std::to_string(::getpid()) + "-" + std::to_string(g_sandboxCount++))) {
  fs::remove_all(dir_);
  fs::create_directories(dir_ / "run");
  fs::permissions(dir_ / "run", fs::perms::owner_all, fs::perm_options::replace);
  fs::path opener = dir_ / "opener.sh";
  std::ofstream(opener) << "#!/bin/sh\necho \"$1\" >> '" << (dir_ / "opened.txt").string() << "'\n";
  fs::permissions(opener, fs::perms::owner_all);
  env = {
      {"SDL_VIDEODRIVER", "dummy"},
      {"XDG_RUNTIME_DIR", (dir_ / "run").string()},
      {"TOVRIK_URL_OPENER", opener.string()},
      {"QXENV_CommonPath", TOVRIK_RUNTIME_DIR "/Common"},
      {"TOVRIK_PORTAL_REGISTRY", TOVRIK_RUNTIME_DIR "/portal-registry.ini"},
      {"HOME", dir_.string()},
      {"TOVRIK_MESSAGEBOX_ANSWERS", ""},
  };
}

ClientSandbox::~ClientSandbox() { fs::remove_all(dir_); }

ClientRun ClientSandbox::Run(const std::vector<std::string>& args) {
  const pid_t child = Start(args);
  if (child == 0) {
    ClientRun run;
    run.log = LogSoFar();
    return run;
  }
  return Finish(child);
}

pid_t ClientSandbox::Start(const std::vector<std::string>& args) {
  std::vector<std::string> environment;
  for (char** e = environ; *e; ++e) {
    std::string entry(*e);
    if (!env.count(entry.substr(0, entry.find('=')))) environment.push_back(entry);
  }
  for (const auto& [name, value] : env)
    if (!value.empty()) environment.push_back(name + "=" + value);

  std::string program = this->program.string();
  std::vector<char*> argv{program.data()};
  std::vector<std::string> argsCopy = args;
  for (std::string& a : argsCopy) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);

  fs::path logFile = dir_ / "client.log";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  pid_t child = 0;
  int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    std::ofstream(logFile) << "spawn failed: " << std::strerror(spawned) << "\n";
    return 0;
  }
  return child;
}

std::string ClientSandbox::LogSoFar() const {
  std::ifstream in(dir_ / "client.log");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool ClientSandbox::WaitForLog(const std::string& text, int ms) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (LogSoFar().find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

ClientRun ClientSandbox::Finish(pid_t child) {
  ClientRun run;
  int status = 0;
  waitpid(child, &status, 0);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.log = LogSoFar();
  std::istringstream lines(run.log);
  for (std::string line; std::getline(lines, line);) {
    size_t at = line.find("MessageBox caption=");
    if (at != std::string::npos) run.messageBoxes.push_back(line.substr(at));
  }
  return run;
}

std::vector<std::string> ClientSandbox::OpenedUrls(size_t expected) const {
  // The opener runs detached from the client, so its record may come a
  // little after the client has ended.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  for (;;) {
    std::vector<std::string> urls;
    std::ifstream in(dir_ / "opened.txt");
    for (std::string line; std::getline(in, line);) urls.push_back(line);
    if (urls.size() >= expected || std::chrono::steady_clock::now() > deadline) return urls;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}
