#include "platform/PathResolver.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace tovrik::platform {
namespace fs = std::filesystem;

namespace {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : char(c); };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// The entry of `dir` whose name equals `name` up to letter case. An exact
// match wins; among several case variants the smallest name is taken so that
// the choice never depends on directory order.
fs::path MatchEntry(const fs::path& dir, std::string_view name) {
  std::error_code ec;
  if (fs::exists(dir / name, ec)) return dir / name;
  std::vector<std::string> candidates;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (EqualsIgnoringAsciiCase(entry, name)) candidates.push_back(std::move(entry));
  }
  if (candidates.empty()) return dir / name;
  return dir / *std::min_element(candidates.begin(), candidates.end());
}

std::vector<std::string_view> SplitComponents(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '/' || path[i] == '\\') {
      if (i > start) parts.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

}  // namespace

fs::path ResolvePath(std::string_view path, const fs::path& base) {
  const bool absolute = !path.empty() && (path.front() == '/' || path.front() == '\\');
  fs::path result = absolute ? fs::path("/") : base;
  bool missing = false;  // once a folder is missing, the rest is kept as written
  for (std::string_view part : SplitComponents(path)) {
    if (part == ".") continue;
    if (part == "..") {
      result = result.parent_path();
      continue;
    }
    if (missing) {
      result /= part;
      continue;
    }
    result = MatchEntry(result, part);
    std::error_code ec;
    missing = !fs::exists(result, ec);
  }
  return result;
}

fs::path ResolvePath(std::string_view path) { return ResolvePath(path, fs::current_path()); }

}  // namespace tovrik::platform
