#include "ReportArchive.h"

#include <cstdlib>
#include <fstream>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace tovrik::crash {
namespace {

constexpr std::string_view kSeparator = "*|";

std::string TimeText(std::time_t now, const char* format) {
  std::tm local{};
  localtime_r(&now, &local);
  char text[64];
  return std::strftime(text, sizeof text, format, &local) ? text : "";
}

// Keeps `source` in `folder`: renamed when possible, copied across file
// systems. An empty path when there was nothing to keep.
fs::path Keep(const fs::path& source, const fs::path& folder, const fs::path& name, bool move) {
  std::error_code ec;
  if (source.empty() || !fs::is_regular_file(source, ec)) return {};
  const fs::path target = folder / name;
  if (move) {
    fs::rename(source, target, ec);
    if (!ec) return target;
  }
  fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
  if (ec) return {};
  if (move) fs::remove(source, ec);
  return target;
}

}  // namespace

std::optional<CrashFiles> ParseReportArguments(std::string_view arguments) {
  if (arguments.substr(0, kSeparator.size()) != kSeparator) return std::nullopt;
  std::vector<std::string> fields;
  for (size_t at = kSeparator.size();;) {
    const size_t next = arguments.find(kSeparator, at);
    fields.emplace_back(arguments.substr(at, next == std::string_view::npos ? std::string_view::npos : next - at));
    if (next == std::string_view::npos) break;
    at = next + kSeparator.size();
  }
  if (fields.size() != 3) return std::nullopt;
  return CrashFiles{fields[0], fields[1], fields[2]};
}

fs::path UserDataFolder() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) return fs::path(data) / "corvanta";
  if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home) / ".local" / "share" / "corvanta";
  return fs::path("corvanta");
}

ArchiveResult ArchiveCrash(const CrashFiles& files, const fs::path& crashFolder, std::time_t now) {
  std::error_code ec;
  fs::create_directories(crashFolder, ec);
  const fs::path dump(files.dump);
  // The report beside the program is rewritten at every fault: the kept copy
  // is named after its dump.
  const std::string stem = dump.has_stem() ? dump.stem().string() : "crash_" + TimeText(now, "%m%d_%H%M%S");
  ArchiveResult result;
  result.dump = Keep(dump, crashFolder, dump.filename(), true);
  result.report = Keep(files.report, crashFolder, stem + ".RPT", false);
  result.logLine = TimeText(now, "%Y-%m-%d %H:%M:%S") + " dump=" +
                   (result.dump.empty() ? "(missing " + files.dump + ")" : result.dump.filename().string()) +
                   " report=" +
                   (result.report.empty() ? "(missing " + files.report + ")" : result.report.filename().string()) +
                   " module=" + files.module;
  std::ofstream(crashFolder / "ExhReport.log", std::ios::app) << result.logLine << '\n';
  return result;
}

}  // namespace tovrik::crash
