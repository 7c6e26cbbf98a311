// ExhReport: started by a crashing client with "*|dump*|report*|module"
// after its own name; keeps the files in the user's crash folder.

#include "ReportArchive.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  std::string arguments;
  for (int i = 1; i < argc; ++i) arguments += (i > 1 ? " " : "") + std::string(argv[i]);
  const auto files = tovrik::crash::ParseReportArguments(arguments);
  if (!files) {
    std::fprintf(stderr, "usage: ExhReport *|dump*|report*|module\n");
    return 2;
  }
  const auto result = tovrik::crash::ArchiveCrash(*files, tovrik::crash::UserDataFolder() / "crash", std::time(nullptr));
  std::fprintf(stderr, "ExhReport: %s\n", result.logLine.c_str());
  return 0;
}
