#pragma once
// What a running process costs, read from /proc: its peak resident size and
// the processor time it used over a stretch of wall-clock time.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tovrik::e2e {

// VmHWM of /proc/PID/status, in kilobytes.
std::optional<long> PeakResidentKb(pid_t pid);
// utime + stime of /proc/PID/stat, in seconds.
std::optional<double> CpuSeconds(pid_t pid);
// The share of one core the process used while `window` passed (0.01 is 1 %).
std::optional<double> CpuShareOver(pid_t pid, std::chrono::milliseconds window);

// The command names of the processes whose parent is `parent`.
std::vector<std::string> ChildCommands(pid_t parent);

}  // namespace tovrik::e2e
