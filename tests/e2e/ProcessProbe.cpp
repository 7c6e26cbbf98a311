#include "ProcessProbe.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace tovrik::e2e {

std::optional<long> PeakResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) != 0) continue;
    std::istringstream fields(line.substr(6));
    long kb = 0;
    if (fields >> kb) return kb;
  }
  return std::nullopt;
}

std::optional<double> CpuSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  if (!std::getline(stat, text)) return std::nullopt;
  // The command name in parentheses may hold spaces: count the fields from
  // its closing parenthesis. utime and stime are fields 14 and 15.
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream fields(text.substr(close + 1));
  std::string field;
  for (int number = 3; number <= 13; ++number) fields >> field;
  unsigned long long utime = 0, stime = 0;
  if (!(fields >> utime >> stime)) return std::nullopt;
  return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

std::optional<double> CpuShareOver(pid_t pid, std::chrono::milliseconds window) {
  const auto before = CpuSeconds(pid);
  const auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(window);
  const auto after = CpuSeconds(pid);
  const std::chrono::duration<double> passed = std::chrono::steady_clock::now() - start;
  if (!before || !after || passed.count() <= 0) return std::nullopt;
  return (*after - *before) / passed.count();
}

std::vector<std::string> ChildCommands(pid_t parent) {
  std::vector<std::string> commands;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    std::ifstream stat(entry.path() / "stat");
    std::string text;
    if (!std::getline(stat, text)) continue;
    const std::size_t open = text.find('('), close = text.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) continue;
    std::istringstream fields(text.substr(close + 1));
    std::string state;
    pid_t ppid = 0;
    if (fields >> state >> ppid && ppid == parent && state != "Z")
      commands.push_back(text.substr(open + 1, close - open - 1));
  }
  return commands;
}

}  // namespace tovrik::e2e
