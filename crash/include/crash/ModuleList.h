#pragma once
// The loaded objects of this process as a fault handler can see them: read
// from the dynamic loader's own list and from the program headers in memory,
// without taking the loader's lock or allocating.

#include <cstddef>
#include <cstdint>

namespace tovrik::crash {

// Copies `size` bytes from `address` in this process; false (and nothing
// faults) when any of it is not readable.
bool SafeRead(void* out, uint64_t address, size_t size);

struct ModuleSegment {
  uint64_t vaddr = 0;  // relative to the module's load bias
  uint64_t size = 0;
};

struct CrashModule {
  static constexpr size_t kMaxSegments = 16;
  static constexpr size_t kMaxBuildId = 32;
  static constexpr size_t kMaxPath = 1024;

  uint64_t base = 0;  // lowest mapped address
  uint64_t size = 0;
  uint64_t bias = 0;  // added to the object's own addresses
  uint32_t segmentCount = 0;
  ModuleSegment segments[kMaxSegments];
  uint8_t buildId[kMaxBuildId] = {};
  uint32_t buildIdSize = 0;
  char path[kMaxPath] = {};

  bool Contains(uint64_t address) const { return address >= base && address - base < size; }
  // The 1-based number of the loadable segment holding `address` and the
  // offset into it; false when none does.
  bool SegmentOf(uint64_t address, uint32_t& number, uint64_t& offset) const;
};

class ModuleList {
 public:
  static constexpr size_t kMaxModules = 256;

  // Remembers what only ordinary code may ask: where the program's own
  // headers are and its file's path. Call once outside any handler.
  static void Prepare();

  // Re-reads the loader's list. Safe inside a signal handler.
  void Capture();
  void Clear() { count_ = 0; }
  size_t Count() const { return count_; }
  const CrashModule& operator[](size_t i) const { return modules_[i]; }
  const CrashModule* Find(uint64_t address) const;
  const CrashModule* Main() const { return count_ ? &modules_[0] : nullptr; }

 private:
  CrashModule modules_[kMaxModules];
  size_t count_ = 0;
};

}  // namespace tovrik::crash
