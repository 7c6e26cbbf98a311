#pragma once
// A private portal install for one test: a registry file whose DefaultPath
// names a fresh install folder with Common/ and Common/Module/, into which a
// test copies the portal libraries it wants (built ones or fixtures).

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

class PortalSandbox {
 public:
  PortalSandbox() {
    static int count = 0;
    root_ = std::filesystem::temp_directory_path() /
            ("tovrik-portal-" + std::to_string(::getpid()) + "-" + std::to_string(count++));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(common() / "Module");
    WriteRegistry("[SOFTWARE\\Corvanta]\nDefaultPath=" + install().string() + "\n");
    setenv("TOVRIK_PORTAL_REGISTRY", registry().c_str(), 1);
    setenv("QXENV_CommonPath", common().c_str(), 1);
  }
  ~PortalSandbox() {
    unsetenv("TOVRIK_PORTAL_REGISTRY");
    unsetenv("QXENV_CommonPath");
    std::filesystem::remove_all(root_);
  }

  std::filesystem::path install() const { return root_ / "Portal"; }
  std::filesystem::path common() const { return install() / "Common"; }
  std::filesystem::path registry() const { return root_ / "registry.ini"; }

  void WriteRegistry(const std::string& text) const { std::ofstream(registry()) << text; }

  // Copies a built portal file (relative to the runtime's Common folder).
  void InstallBuilt(const std::string& relative) const {
    Copy(std::filesystem::path(TOVRIK_RUNTIME_DIR) / "Common" / relative, common() / relative);
  }
  // Copies a file to a place under Common. The old file is removed first:
  // writing over a library that is loaded would change it under the loader.
  void Copy(const std::filesystem::path& from, const std::filesystem::path& to) const {
    std::filesystem::remove(to);
    std::filesystem::copy_file(from, to);
  }
  void WriteFile(const std::string& relative, const std::string& text) const {
    std::filesystem::remove(common() / relative);
    std::ofstream(common() / relative, std::ios::binary) << text;
  }

 private:
  std::filesystem::path root_;
};
