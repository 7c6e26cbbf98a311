#include "portal/PortalLibrary.h"

#include "base/Log.h"
#include "platform/PathResolver.h"

// Debian's SimpleIni keeps its template bodies behind SI_IMPLEMENTATION;
// narrow text needs no converter, so nothing else has to be linked.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <algorithm>

#include <dlfcn.h>

#include <cstdlib>

namespace tovrik::portal {
namespace fs = std::filesystem;

PortalLibrary& PortalLibrary::operator=(PortalLibrary&& other) noexcept {
  if (this != &other) {
    Unload();
    handle_ = other.handle_;
    other.handle_ = nullptr;
  }
  return *this;
}

bool PortalLibrary::Load(const fs::path& file) {
  Unload();
  handle_ = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) base::Log(base::LogLevel::Warn, "portal", "portal library ", file.string(), " cannot be loaded: ", ::dlerror());
  return handle_ != nullptr;
}

void PortalLibrary::Unload() {
  if (handle_) ::dlclose(handle_);
  handle_ = nullptr;
}

void* PortalLibrary::Symbol(const char* name) const { return handle_ ? ::dlsym(handle_, name) : nullptr; }

namespace {

// File names are compared byte by byte with only A-Z folded, whatever the
// locale says about other bytes.
bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
  return std::equal(suffix.begin(), suffix.end(), text.end() - std::ptrdiff_t(suffix.size()),
                    [&](char a, char b) { return fold(a) == fold(b); });
}

}  // namespace

fs::path PortalLibraryPath(const fs::path& folder, std::string_view windowsName) {
  std::string name(windowsName);
  constexpr std::string_view kWindowsSuffix = ".dll";
  if (EndsWithIgnoringAsciiCase(name, kWindowsSuffix))
    name.replace(name.size() - kWindowsSuffix.size(), kWindowsSuffix.size(), ".so");
  return platform::ResolvePath(name, folder);
}

fs::path PortalRegistryFile() {
  if (const char* file = std::getenv("TOVRIK_PORTAL_REGISTRY"); file && *file) return file;
  fs::path config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) config = xdg;
  else if (const char* home = std::getenv("HOME"); home && *home) config = fs::path(home) / ".config";
  else config = ".";
  return config / "corvanta" / "registry.ini";
}

std::optional<std::string> ReadMachineRegistryString(std::string_view key, std::string_view value) {
  CSimpleIniA ini;  // section and value names ignore case, as registry names do
  if (ini.LoadFile(PortalRegistryFile().c_str()) < 0) return std::nullopt;
  const char* text = ini.GetValue(std::string(key).c_str(), std::string(value).c_str(), nullptr);
  if (!text) return std::nullopt;
  return std::string(text);
}

std::optional<fs::path> PortalInstallFolder() {
  std::optional<std::string> folder = ReadMachineRegistryString("SOFTWARE\\Corvanta", "DefaultPath");
  if (!folder) return std::nullopt;
  while (!folder->empty() && (folder->back() == ' ' || folder->back() == '\\' || folder->back() == '/'))
    folder->pop_back();
  if (folder->empty()) return std::nullopt;
  return platform::ResolvePath(*folder);
}

std::optional<fs::path> PortalCommonFolder() {
  std::optional<fs::path> install = PortalInstallFolder();
  if (!install) return std::nullopt;
  return platform::ResolvePath("Common", *install);
}

}  // namespace tovrik::portal
