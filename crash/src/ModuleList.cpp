#include "crash/ModuleList.h"

#include "crash/SafeFormat.h"

#include <elf.h>
#include <link.h>
#include <sys/auxv.h>
#include <sys/mman.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tovrik::crash {
namespace {

constexpr size_t kMaxHeaders = 64;
constexpr size_t kMaxNoteBytes = 4096;

struct ProgramInfo {
  uint64_t phdr = 0;
  uint64_t phnum = 0;
  char path[CrashModule::kMaxPath] = {};
};
ProgramInfo g_program;

// Without process_vm_readv (some sandboxes refuse it) every page is checked
// to be mapped before it is read.
bool ReadAfterProbing(void* out, uint64_t address, size_t size) {
  const uint64_t page = uint64_t(::sysconf(_SC_PAGESIZE));
  unsigned char residency[1];
  for (uint64_t p = address & ~(page - 1); p < address + size; p += page)
    if (::mincore(reinterpret_cast<void*>(p), 1, residency) != 0) return false;
  std::memcpy(out, reinterpret_cast<const void*>(address), size);
  return true;
}

void ReadBuildId(CrashModule& m, const ElfW(Phdr)& note) {
  unsigned char notes[kMaxNoteBytes];
  const size_t size = std::min<size_t>(note.p_memsz, sizeof notes);
  if (!SafeRead(notes, m.bias + note.p_vaddr, size)) return;
  size_t at = 0;
  while (at + sizeof(ElfW(Nhdr)) <= size) {
    ElfW(Nhdr) h;
    std::memcpy(&h, notes + at, sizeof h);
    const size_t name = at + sizeof h;
    const size_t desc = name + ((h.n_namesz + 3) & ~3u);
    const size_t next = desc + ((h.n_descsz + 3) & ~3u);
    if (next > size || next <= at) return;
    if (h.n_type == NT_GNU_BUILD_ID && h.n_namesz == 4 && std::memcmp(notes + name, "GNU", 4) == 0) {
      m.buildIdSize = std::min<uint32_t>(h.n_descsz, CrashModule::kMaxBuildId);
      std::memcpy(m.buildId, notes + desc, m.buildIdSize);
      return;
    }
    at = next;
  }
}

bool ReadHeaders(const link_map* l, bool isMain, ElfW(Phdr)* headers, size_t& count) {
  uint64_t address = 0;
  if (isMain && g_program.phdr) {
    address = g_program.phdr;
    count = g_program.phnum;
  } else {
    ElfW(Ehdr) e;
    if (!SafeRead(&e, l->l_addr, sizeof e) || std::memcmp(e.e_ident, ELFMAG, SELFMAG) != 0) return false;
    address = l->l_addr + e.e_phoff;
    count = e.e_phnum;
  }
  count = std::min(count, kMaxHeaders);
  return SafeRead(headers, address, count * sizeof(ElfW(Phdr)));
}

void Describe(CrashModule& m, const ElfW(Phdr)* headers, size_t count) {
  uint64_t low = UINT64_MAX, high = 0;
  for (size_t i = 0; i < count; ++i) {
    const ElfW(Phdr)& h = headers[i];
    if (h.p_type == PT_LOAD) {
      low = std::min<uint64_t>(low, h.p_vaddr & ~uint64_t(h.p_align ? h.p_align - 1 : 0));
      high = std::max<uint64_t>(high, h.p_vaddr + h.p_memsz);
      if (m.segmentCount < CrashModule::kMaxSegments) m.segments[m.segmentCount++] = {h.p_vaddr, h.p_memsz};
    }
  }
  if (low >= high) return;
  m.base = m.bias + low;
  m.size = high - low;
  for (size_t i = 0; i < count && !m.buildIdSize; ++i)
    if (headers[i].p_type == PT_NOTE) ReadBuildId(m, headers[i]);
}

}  // namespace

bool SafeRead(void* out, uint64_t address, size_t size) {
  if (size == 0) return true;
  iovec local{out, size};
  iovec remote{reinterpret_cast<void*>(address), size};
  const ssize_t n = ::process_vm_readv(::getpid(), &local, 1, &remote, 1, 0);
  if (n == ssize_t(size)) return true;
  if (n < 0 && (errno == ENOSYS || errno == EPERM)) return ReadAfterProbing(out, address, size);
  return false;
}

bool CrashModule::SegmentOf(uint64_t address, uint32_t& number, uint64_t& offset) const {
  const uint64_t relative = address - bias;
  for (uint32_t i = 0; i < segmentCount; ++i) {
    if (relative >= segments[i].vaddr && relative - segments[i].vaddr < segments[i].size) {
      number = i + 1;
      offset = relative - segments[i].vaddr;
      return true;
    }
  }
  number = 0;
  offset = 0;
  return false;
}

void ModuleList::Prepare() {
  g_program.phdr = ::getauxval(AT_PHDR);
  g_program.phnum = ::getauxval(AT_PHNUM);
  const ssize_t n = ::readlink("/proc/self/exe", g_program.path, sizeof g_program.path - 1);
  g_program.path[n > 0 ? n : 0] = '\0';
}

void ModuleList::Capture() {
  count_ = 0;
  bool isMain = true;
  for (const link_map* l = _r_debug.r_map; l && count_ < kMaxModules; l = l->l_next, isMain = false) {
    CrashModule& m = modules_[count_];
    m = CrashModule{};
    m.bias = l->l_addr;
    ElfW(Phdr) headers[kMaxHeaders];
    size_t count = 0;
    if (!ReadHeaders(l, isMain, headers, count)) continue;
    Describe(m, headers, count);
    if (!m.size) continue;
    SafeCopy(m.path, sizeof m.path, isMain ? g_program.path : l->l_name);
    ++count_;
  }
}

const CrashModule* ModuleList::Find(uint64_t address) const {
  for (size_t i = 0; i < count_; ++i)
    if (modules_[i].Contains(address)) return &modules_[i];
  return nullptr;
}

}  // namespace tovrik::crash
