#include "portal/SystemBrowser.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>

extern char** environ;

namespace tovrik::portal {

namespace {

// Addresses come from the servers. One that starts with "-" would reach the
// opener as an option, and control bytes have no place in an address.
bool FitForTheOpener(std::string_view url) {
  if (url.empty() || url.front() == '-') return false;
  return std::none_of(url.begin(), url.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

}  // namespace

bool OpenInSystemBrowser(std::string_view url) {
  if (!FitForTheOpener(url)) return false;
  const char* opener = std::getenv("TOVRIK_URL_OPENER");
  if (!opener || !*opener) opener = "xdg-open";
  // The shell starts the opener in the background and returns at once, so
  // that neither a slow browser nor an opener that waits for the browser
  // holds up the caller, and no child is left for us to reap.
  static const char kScript[] =
      "command -v \"$0\" >/dev/null 2>&1 || exit 127; \"$0\" \"$1\" </dev/null >/dev/null 2>&1 &";
  std::string address(url);
  const char* argv[] = {"sh", "-c", kScript, opener, address.c_str(), nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, "sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return false;
  int status = 0;
  while (waitpid(child, &status, 0) < 0)
    if (errno != EINTR) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace tovrik::portal

bool g_OpenBrowser(std::string_view url) { return tovrik::portal::OpenInSystemBrowser(url); }
