#include "app/ConfigFile.h"

// Debian's SimpleIni keeps its template bodies behind SI_IMPLEMENTATION;
// the settings file is bytes, so no character conversion is wanted.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <algorithm>
#include <list>
#include <system_error>
#include <utility>
#include <vector>

namespace tovrik::app {

namespace {

bool NeedsEscape(unsigned char byte) {
  if (byte < 0x20 || byte == 0x7F) return true;
  switch (byte) {
    case '[': case ']': case '=': case ';': case '#': case '%': case ' ':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string ConfigSectionName(std::string_view id) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string name;
  name.reserve(id.size());
  for (char c : id) {
    const auto byte = static_cast<unsigned char>(c);
    if (!NeedsEscape(byte)) {
      name.push_back(c);
      continue;
    }
    name.push_back('%');
    name.push_back(kHex[byte >> 4]);
    name.push_back(kHex[byte & 15]);
  }
  return name;
}

struct CConfigFile::Ini {
  CSimpleIniA ini{false, false, false};
  // Section names, least recently used first.
  std::list<std::string> order;
};

CConfigFile::CConfigFile(std::filesystem::path file) : file_(std::move(file)), ini_(std::make_unique<Ini>()) {}

CConfigFile::~CConfigFile() = default;

bool CConfigFile::EnsureLoaded() {
  if (loaded_) return !unreadable_;
  loaded_ = true;
  std::error_code ec;
  if (file_.empty()) {
    unreadable_ = true;
    return false;
  }
  if (!std::filesystem::exists(file_, ec)) return true;  // a missing file holds nothing yet
  ++reads_;
  if (ini_->ini.LoadFile(file_.c_str()) < 0) {
    unreadable_ = true;
    return false;
  }
  CSimpleIniA::TNamesDepend sections;
  ini_->ini.GetAllSections(sections);
  sections.sort(CSimpleIniA::Entry::LoadOrder());
  for (const auto& section : sections) ini_->order.emplace_back(section.pItem);
  return true;
}

void CConfigFile::MarkUsed(const std::string& section) {
  auto& order = ini_->order;
  if (!order.empty() && order.back() == section) return;
  order.remove(section);
  order.push_back(section);
  MoveSectionToEnd(section);
  while (order.size() > kMaxSections) {
    ini_->ini.Delete(order.front().c_str(), nullptr);
    order.pop_front();
    dirty_ = true;
  }
}

// The file keeps its sections in the order they were written: moving the
// section of the user now playing to the end makes the first one in the file
// the one used longest ago, also in the next run.
void CConfigFile::MoveSectionToEnd(const std::string& section) {
  CSimpleIniA& ini = ini_->ini;
  CSimpleIniA::TNamesDepend keys;
  if (!ini.GetAllKeys(section.c_str(), keys)) return;
  keys.sort(CSimpleIniA::Entry::LoadOrder());
  std::vector<std::pair<std::string, std::string>> values;
  for (const auto& key : keys) values.emplace_back(key.pItem, ini.GetValue(section.c_str(), key.pItem, ""));
  ini.Delete(section.c_str(), nullptr);
  for (const auto& [key, value] : values) ini.SetValue(section.c_str(), key.c_str(), value.c_str());
  dirty_ = true;
}

std::optional<std::string> CConfigFile::Get(std::string_view id, std::string_view key) {
  if (!EnsureLoaded()) return std::nullopt;
  const std::string section = ConfigSectionName(id), keyText(key);
  const char* value = ini_->ini.GetValue(section.c_str(), keyText.c_str(), nullptr);
  if (!value) return std::nullopt;
  return std::string(value);
}

bool CConfigFile::Set(std::string_view id, std::string_view key, std::string_view value) {
  if (!EnsureLoaded()) return false;
  const std::string section = ConfigSectionName(id), keyText(key), valueText(value);
  const char* old = ini_->ini.GetValue(section.c_str(), keyText.c_str(), nullptr);
  if (!old || valueText != old) {
    ini_->ini.SetValue(section.c_str(), keyText.c_str(), valueText.c_str());
    dirty_ = true;
  }
  MarkUsed(section);
  return true;
}

bool CConfigFile::Flush() {
  if (!dirty_) return true;
  if (!EnsureLoaded()) return false;
  std::error_code ec;
  std::filesystem::create_directories(file_.parent_path(), ec);
  // Written beside the file and moved over it, so that a crash or a full
  // disk in the middle never leaves half a file.
  std::filesystem::path temporary = file_;
  temporary += ".new";
  ++writes_;
  if (ini_->ini.SaveFile(temporary.c_str()) < 0) {
    std::filesystem::remove(temporary, ec);
    return false;
  }
  std::filesystem::rename(temporary, file_, ec);
  if (ec) {
    std::filesystem::remove(temporary, ec);
    return false;
  }
  dirty_ = false;
  return true;
}

}  // namespace tovrik::app
