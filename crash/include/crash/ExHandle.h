#pragma once
// CExHandle: the set-up calls of the crash handler. Linking this in installs
// the handler while static objects are constructed (kind 0, report beside the
// program); the client's start-up then calls, once,
//
//   CExHandle::SetExeptionInfo("CorvantaTovrik", "CorvantaTovrik", 1, portal::ReadMachineRegistryString);
//
// which finds the portal's report program and the client's version in the
// registry and marks the program as the client.

#include <optional>
#include <string>
#include <string_view>

namespace tovrik::crash {

// Reads a string value of a machine-wide registry key; nullopt when the key
// or value does not exist.
using RegistryReader = std::optional<std::string> (*)(std::string_view key, std::string_view value);

class CExHandle {
 public:
  CExHandle();  // SetExeptionInfo("", "", 0)

  // `reader` replaces the registry used by this and later calls; without
  // one ever given the registry counts as unreadable.
  static void SetExeptionInfo(const char* gameName, const char* registryName, int kind,
                              RegistryReader reader = nullptr);
  static void ExHnd_ExceptionInfo(const char* reportProgram, const char* gameName, int version, int kind);
  static void ExHnd_SetCommonDir(const char* dir);
};

extern CExHandle g_ExHandle;

}  // namespace tovrik::crash
