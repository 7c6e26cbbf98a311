#pragma once
// Run-time loading of the portal libraries and the places they live.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tovrik::portal {

// One loaded shared library; unloaded when the object goes.
class PortalLibrary {
 public:
  PortalLibrary() = default;
  ~PortalLibrary() { Unload(); }
  PortalLibrary(PortalLibrary&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  PortalLibrary& operator=(PortalLibrary&& other) noexcept;
  PortalLibrary(const PortalLibrary&) = delete;
  PortalLibrary& operator=(const PortalLibrary&) = delete;

  // False when the file cannot be loaded (the reason goes to the log).
  bool Load(const std::filesystem::path& file);
  void Unload();
  bool IsLoaded() const { return handle_ != nullptr; }

  // The export of that name, or null.
  void* Symbol(const char* name) const;
  template <typename Function>
  Function Find(const char* name) const {
    return reinterpret_cast<Function>(Symbol(name));
  }

 private:
  void* handle_ = nullptr;
};

// The file of a portal library named the Windows way ("Module\\SSOWebDLL32.dll")
// under `folder`: separators turned, ".dll" becomes ".so", and names matched
// without regard to letter case.
std::filesystem::path PortalLibraryPath(const std::filesystem::path& folder, std::string_view windowsName);

// The registry stand-in: the portal's machine-wide settings live in an INI
// file whose sections are registry keys ("[SOFTWARE\Corvanta]") and whose
// entries are the key's values. Its place is $TOVRIK_PORTAL_REGISTRY, or
// corvanta/registry.ini in the user's configuration folder.
std::filesystem::path PortalRegistryFile();
std::optional<std::string> ReadMachineRegistryString(std::string_view key, std::string_view value);

// The portal's install folder ("DefaultPath" of "SOFTWARE\Corvanta"),
// without trailing blanks and separators; nullopt when it is not recorded.
std::optional<std::filesystem::path> PortalInstallFolder();

// The portal common folder: the install folder's "Common".
std::optional<std::filesystem::path> PortalCommonFolder();

}  // namespace tovrik::portal
