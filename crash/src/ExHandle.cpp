#include "crash/ExHandle.h"

#include "crash/ExceptionHandler.h"
#include "crash/SafeFormat.h"
#include "platform/PathResolver.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>

namespace tovrik::crash {

CExHandle g_ExHandle;

namespace {

constexpr size_t kNameBytes = 128;
constexpr const char* kPortalKey = "SOFTWARE\\Corvanta";

RegistryReader g_registry = nullptr;

std::string ProgramPath() {
  char exe[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
  return std::string(exe, n > 0 ? size_t(n) : 0);
}

// The program's path with its extension replaced by "ver" (added when the
// file name has none).
std::string VersionFilePath() {
  std::string path = ProgramPath();
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.resize(dot);
  return path + ".ver";
}

// u16 version, u16 kind, 128 bytes of name, little-endian. A short file is
// not a version file.
void ReadVersionFile(int& version, int& kind, char (&name)[kNameBytes]) {
  std::ifstream in(VersionFilePath(), std::ios::binary);
  unsigned char record[4 + kNameBytes];
  if (!in.read(reinterpret_cast<char*>(record), sizeof record)) return;
  version = record[0] | record[1] << 8;
  kind = record[2] | record[3] << 8;
  SafeCopy(name, kNameBytes, "");
  for (size_t i = 0; i + 1 < kNameBytes && record[4 + i]; ++i) name[i] = char(record[4 + i]), name[i + 1] = '\0';
}

}  // namespace

CExHandle::CExHandle() { SetExeptionInfo("", "", 0); }

void CExHandle::SetExeptionInfo(const char* gameName, const char* registryName, int kind, RegistryReader reader) {
  if (reader) g_registry = reader;
  char name[kNameBytes];
  SafeCopy(name, sizeof name, gameName);
  int version = -1;
  const bool serverKind = kind == 2 || kind == 3;

  if (!g_registry) {  // no registry to open
    if (!serverKind) kind = 0;
    ReadVersionFile(version, kind, name);
    ExHnd_ExceptionInfo(nullptr, name, version, kind);
    ExHnd_SetCommonDir(nullptr);
    return;
  }
  const std::optional<std::string> installFolder = g_registry(kPortalKey, "DefaultPath");
  if (!installFolder) {
    ExHnd_ExceptionInfo(nullptr, name, -1, kind);
    ExHnd_SetCommonDir(nullptr);
    return;
  }
  const std::string common = platform::ResolvePath(*installFolder + "\\Common").string();
  const std::string program = platform::ResolvePath("ExhReport", common).string();
  if (kind == 1) {
    const std::string key = std::string(kPortalKey) + "\\" + (registryName ? registryName : "");
    if (const std::optional<std::string> text = g_registry(key, "Version")) version = std::atoi(text->c_str());
  } else {
    if (!serverKind) kind = 0;
    ReadVersionFile(version, kind, name);
  }
  ExHnd_ExceptionInfo(program.c_str(), name, version, kind);
  ExHnd_SetCommonDir(common.c_str());
}

void CExHandle::ExHnd_ExceptionInfo(const char* reportProgram, const char* gameName, int version, int kind) {
  CExceptionHandler& handler = CExceptionHandler::GT_Inst();
  handler.ST_ExceptionInfo(reportProgram, gameName, version, kind);
  handler.SetFilter();
}

void CExHandle::ExHnd_SetCommonDir(const char* dir) { CExceptionHandler::GT_Inst().ST_CommonDir(dir); }

}  // namespace tovrik::crash
