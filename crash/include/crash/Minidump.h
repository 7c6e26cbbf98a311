#pragma once
// Writes a minidump in the standard format (header, stream directory and
// the system information, exception, thread list, module list, memory list
// and one user stream, with the process id in the miscellaneous
// information) from inside a fault handler: no heap, only write().
// Debuggers that read minidumps (lldb among them) open it and unwind the
// faulting thread from the saved registers and stack.
//
// Linux conventions of the format are followed where it leaves a choice: the
// platform id is 0x8201, the exception code is the signal number with si_code
// as its flags, and each module carries its GNU build id as an ELF code-view
// record so that a debugger can match the file on disk.

#include "crash/ModuleList.h"

#include <ucontext.h>

#include <cstddef>
#include <cstdint>

namespace tovrik::crash {

namespace minidump {
inline constexpr uint32_t kSignature = 0x504D444D;  // "MDMP"
inline constexpr uint32_t kVersion = 0xA793;
inline constexpr uint32_t kThreadListStream = 3;
inline constexpr uint32_t kModuleListStream = 4;
inline constexpr uint32_t kMemoryListStream = 5;
inline constexpr uint32_t kExceptionStream = 6;
inline constexpr uint32_t kSystemInfoStream = 7;
inline constexpr uint32_t kMiscInfoStream = 15;
inline constexpr uint32_t kUserStream = 0x10000;
inline constexpr uint16_t kArchitectureAmd64 = 9;
inline constexpr uint32_t kPlatformLinux = 0x8201;
inline constexpr uint32_t kContextAmd64Size = 1232;
inline constexpr uint32_t kContextAmd64Full = 0x0010000F;  // control, integer, segments, floating point
inline constexpr uint32_t kElfBuildIdSignature = 0x4270454C;  // "LEpB": an ELF build id follows
inline constexpr uint32_t kModuleRecordSize = 108;
inline constexpr uint32_t kThreadRecordSize = 48;
inline constexpr uint32_t kExceptionStreamSize = 168;
inline constexpr uint32_t kSystemInfoSize = 56;
}  // namespace minidump

// What the machine is, gathered once outside any handler.
struct SystemDescription {
  uint16_t processorLevel = 0;
  uint16_t processorRevision = 0;
  uint8_t processors = 0;
  uint32_t majorVersion = 0;
  uint32_t minorVersion = 0;
  uint32_t buildNumber = 0;
  uint32_t cpuVendor[3] = {};
  uint32_t cpuVersion = 0;
  uint32_t cpuFeatures = 0;
  uint32_t amdFeatures = 0;
  char description[320] = {};  // kernel name, release and version

  static SystemDescription Capture();
};

struct MinidumpInput {
  uint32_t processId = 0;
  uint32_t threadId = 0;
  uint32_t timeStamp = 0;
  uint64_t dumpType = 0;
  int signo = 0;
  int siCode = 0;
  uint64_t exceptionAddress = 0;
  const ucontext_t* context = nullptr;
  const ModuleList* modules = nullptr;
  uint64_t stackStart = 0;
  uint32_t stackSize = 0;  // readable bytes from stackStart
  const char* userStream = nullptr;
  uint32_t userStreamSize = 0;
  const SystemDescription* system = nullptr;
};

// The mapped part of [from, from + limit) that a dump can keep of a stack:
// it starts at the first mapped page and ends before the first unmapped one.
// Safe in a handler.
struct StackRange {
  uint64_t start = 0;
  uint32_t size = 0;
};
StackRange ReadableStack(uint64_t from, uint32_t limit);

// Fills the 1232-byte AMD64 register context of the format from a signal
// context.
void FillContextAmd64(const ucontext_t& context, unsigned char (&out)[minidump::kContextAmd64Size]);

// Writes the whole dump at the start of `fd`. False when a write failed.
bool WriteMinidump(int fd, const MinidumpInput& input);

}  // namespace tovrik::crash
