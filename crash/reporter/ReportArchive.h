#pragma once
// What the report program does with a crash: it keeps the dump and the text
// report in the crash folder of the user's data folder and notes the crash
// in one line of that folder's log.

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tovrik::crash {

struct CrashFiles {
  std::string dump;
  std::string report;
  std::string module;
};

// The command line after the program's name: "*|dump*|report*|module".
std::optional<CrashFiles> ParseReportArguments(std::string_view arguments);

// The user's data folder for the portal's programs: $XDG_DATA_HOME/corvanta,
// else ~/.local/share/corvanta.
std::filesystem::path UserDataFolder();

struct ArchiveResult {
  std::filesystem::path dump;    // empty when there was no dump to keep
  std::filesystem::path report;  // empty when there was no report to keep
  std::string logLine;
};

// Moves the dump and copies the report into `crashFolder`, appends the log
// line to crashFolder/"ExhReport.log". Files that are missing are noted in
// the line instead.
ArchiveResult ArchiveCrash(const CrashFiles& files, const std::filesystem::path& crashFolder, std::time_t now);

}  // namespace tovrik::crash
