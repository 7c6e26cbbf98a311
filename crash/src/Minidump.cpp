#include "crash/Minidump.h"

#include "crash/SafeFormat.h"

#include <cpuid.h>
#include <sys/mman.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iterator>

#if !defined(__x86_64__)
#error "the crash dump writer knows the x86-64 register context only"
#endif

namespace tovrik::crash {
namespace md = minidump;
namespace {

constexpr uint32_t kHeaderSize = 32;
constexpr uint32_t kDirectoryEntrySize = 12;
constexpr uint32_t kMemoryDescriptorSize = 16;
constexpr uint32_t kStreamCount = 7;
constexpr uint32_t kMiscInfoSize = 24;
constexpr uint32_t kMiscProcessIdValid = 1;

// Little-endian output with its own buffer; positions are file offsets.
class Sink {
 public:
  explicit Sink(int fd) : fd_(fd) {}
  void Byte(uint8_t b) {
    if (used_ == sizeof buffer_) Flush();
    buffer_[used_++] = b;
    ++position_;
  }
  void U16(uint16_t v) { Bytes(&v, 2); }
  void U32(uint32_t v) { Bytes(&v, 4); }
  void U64(uint64_t v) { Bytes(&v, 8); }
  void Bytes(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) Byte(p[i]);
  }
  void Zeros(size_t count) {
    for (size_t i = 0; i < count; ++i) Byte(0);
  }
  void PadTo(uint32_t at) {
    if (position_ < at) Zeros(at - position_);
  }
  void Location(uint32_t size, uint32_t rva) {
    U32(size);
    U32(rva);
  }
  bool Flush() {
    size_t done = 0;
    while (done < used_) {
      const ssize_t n = ::write(fd_, buffer_ + done, used_ - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        failed_ = true;
        break;
      }
      done += size_t(n);
    }
    used_ = 0;
    return !failed_;
  }

 private:
  int fd_;
  uint8_t buffer_[8192];
  size_t used_ = 0;
  uint32_t position_ = 0;
  bool failed_ = false;
};

// Decodes UTF-8 one code point at a time; bad bytes become U+FFFD.
uint32_t NextCodePoint(const unsigned char*& s) {
  const unsigned char c = *s++;
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
  if (c >= 0x80 && c < 0xC0) return 0xFFFD;
  uint32_t cp = extra ? c & (0x3F >> extra) : c;
  while (extra--) {
    if ((*s & 0xC0) != 0x80) return 0xFFFD;
    cp = cp << 6 | (*s++ & 0x3F);
  }
  return cp;
}

uint32_t Utf16Units(const char* text) {
  uint32_t units = 0;
  for (auto* s = reinterpret_cast<const unsigned char*>(text); *s;) units += NextCodePoint(s) > 0xFFFF ? 2 : 1;
  return units;
}

uint32_t StringRecordSize(const char* text) { return 4 + 2 * Utf16Units(text) + 2; }

void PutString(Sink& out, const char* text) {
  out.U32(2 * Utf16Units(text));
  for (auto* s = reinterpret_cast<const unsigned char*>(text); *s;) {
    const uint32_t cp = NextCodePoint(s);
    if (cp > 0xFFFF) {
      out.U16(uint16_t(0xD800 + ((cp - 0x10000) >> 10)));
      out.U16(uint16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.U16(uint16_t(cp));
    }
  }
  out.U16(0);
}

// File offsets of every block, handed out in writing order.
struct Layout {
  uint32_t next = 0;
  uint32_t Take(uint32_t size) {
    next = (next + 7) & ~7u;
    const uint32_t at = next;
    next += size;
    return at;
  }
};

struct Places {
  uint32_t directory, system, csd, misc, exception, threads, context, moduleList, memoryList, stack, user;
  uint32_t names[ModuleList::kMaxModules];
  uint32_t codeViews[ModuleList::kMaxModules];
};

void Plan(const MinidumpInput& in, Places& p) {
  Layout l;
  l.Take(kHeaderSize);
  p.directory = l.Take(kStreamCount * kDirectoryEntrySize);
  p.system = l.Take(md::kSystemInfoSize);
  p.csd = l.Take(StringRecordSize(in.system->description));
  p.misc = l.Take(kMiscInfoSize);
  p.exception = l.Take(md::kExceptionStreamSize);
  p.threads = l.Take(4 + md::kThreadRecordSize);
  p.context = l.Take(md::kContextAmd64Size);
  const size_t modules = in.modules ? in.modules->Count() : 0;
  p.moduleList = l.Take(uint32_t(4 + md::kModuleRecordSize * modules));
  for (size_t i = 0; i < modules; ++i) {
    const CrashModule& m = (*in.modules)[i];
    p.names[i] = l.Take(StringRecordSize(m.path));
    p.codeViews[i] = m.buildIdSize ? l.Take(4 + m.buildIdSize) : 0;
  }
  p.memoryList = l.Take(4 + kMemoryDescriptorSize);
  p.stack = l.Take(in.stackSize);
  p.user = l.Take(in.userStreamSize);
}

void PutDirectory(Sink& out, const MinidumpInput& in, const Places& p) {
  const size_t modules = in.modules ? in.modules->Count() : 0;
  out.U32(md::kSystemInfoStream), out.Location(md::kSystemInfoSize, p.system);
  out.U32(md::kMiscInfoStream), out.Location(kMiscInfoSize, p.misc);
  out.U32(md::kExceptionStream), out.Location(md::kExceptionStreamSize, p.exception);
  out.U32(md::kThreadListStream), out.Location(4 + md::kThreadRecordSize, p.threads);
  out.U32(md::kModuleListStream), out.Location(uint32_t(4 + md::kModuleRecordSize * modules), p.moduleList);
  out.U32(md::kMemoryListStream), out.Location(4 + kMemoryDescriptorSize, p.memoryList);
  out.U32(md::kUserStream), out.Location(in.userStreamSize, p.user);
}

void PutSystemInfo(Sink& out, const SystemDescription& s, const Places& p) {
  out.PadTo(p.system);
  out.U16(md::kArchitectureAmd64);
  out.U16(s.processorLevel);
  out.U16(s.processorRevision);
  out.Byte(s.processors);
  out.Byte(1);  // a workstation
  out.U32(s.majorVersion);
  out.U32(s.minorVersion);
  out.U32(s.buildNumber);
  out.U32(md::kPlatformLinux);
  out.U32(p.csd);
  out.U16(0);
  out.U16(0);
  out.Bytes(s.cpuVendor, sizeof s.cpuVendor);
  out.U32(s.cpuVersion);
  out.U32(s.cpuFeatures);
  out.U32(s.amdFeatures);
  out.PadTo(p.csd);
  PutString(out, s.description);
}

void PutMiscInfo(Sink& out, const MinidumpInput& in, const Places& p) {
  out.PadTo(p.misc);
  out.U32(kMiscInfoSize);
  out.U32(kMiscProcessIdValid);
  out.U32(in.processId);
  out.Zeros(12);  // process times: not recorded
}

void PutException(Sink& out, const MinidumpInput& in, const Places& p) {
  out.PadTo(p.exception);
  out.U32(in.threadId);
  out.U32(0);
  out.U32(uint32_t(in.signo));
  out.U32(uint32_t(in.siCode));
  out.U64(0);
  out.U64(in.exceptionAddress);
  out.U32(0);  // no parameters
  out.U32(0);
  out.Zeros(15 * 8);
  out.Location(md::kContextAmd64Size, p.context);
}

void PutThreads(Sink& out, const MinidumpInput& in, const Places& p) {
  out.PadTo(p.threads);
  out.U32(1);
  out.U32(in.threadId);
  out.U32(0);  // suspend count
  out.U32(0);  // priority class
  out.U32(0);  // priority
  out.U64(0);  // no thread environment block here
  out.U64(in.stackStart);
  out.Location(in.stackSize, p.stack);
  out.Location(md::kContextAmd64Size, p.context);
  out.PadTo(p.context);
  unsigned char context[md::kContextAmd64Size];
  FillContextAmd64(*in.context, context);
  out.Bytes(context, sizeof context);
}

void PutModules(Sink& out, const MinidumpInput& in, const Places& p) {
  out.PadTo(p.moduleList);
  const size_t count = in.modules ? in.modules->Count() : 0;
  out.U32(uint32_t(count));
  for (size_t i = 0; i < count; ++i) {
    const CrashModule& m = (*in.modules)[i];
    out.U64(m.base);
    out.U32(uint32_t(m.size));
    out.U32(0);  // checksum
    out.U32(0);  // time stamp
    out.U32(p.names[i]);
    out.Zeros(52);  // no version resource
    out.Location(m.buildIdSize ? 4 + m.buildIdSize : 0, p.codeViews[i]);
    out.Location(0, 0);
    out.U64(0);
    out.U64(0);
  }
  for (size_t i = 0; i < count; ++i) {
    const CrashModule& m = (*in.modules)[i];
    out.PadTo(p.names[i]);
    PutString(out, m.path);
    if (!m.buildIdSize) continue;
    out.PadTo(p.codeViews[i]);
    out.U32(md::kElfBuildIdSignature);
    out.Bytes(m.buildId, m.buildIdSize);
  }
}

void PutMemory(Sink& out, const MinidumpInput& in, const Places& p) {
  out.PadTo(p.memoryList);
  out.U32(1);
  out.U64(in.stackStart);
  out.Location(in.stackSize, p.stack);
  out.PadTo(p.stack);
  unsigned char chunk[4096];
  for (uint32_t done = 0; done < in.stackSize;) {
    const uint32_t n = std::min<uint32_t>(sizeof chunk, in.stackSize - done);
    if (!SafeRead(chunk, in.stackStart + done, n)) std::memset(chunk, 0, n);
    out.Bytes(chunk, n);
    done += n;
  }
}

void Put64At(unsigned char* out, size_t at, uint64_t v) { std::memcpy(out + at, &v, 8); }

}  // namespace

SystemDescription SystemDescription::Capture() {
  SystemDescription s;
  utsname u;
  if (::uname(&u) == 0) {
    SafeFormat(s.description, sizeof s.description, "%s %s %s %s", u.sysname, u.release, u.version, u.machine);
    char* end = u.release;
    s.majorVersion = uint32_t(std::strtoul(end, &end, 10));
    if (*end == '.') s.minorVersion = uint32_t(std::strtoul(end + 1, &end, 10));
    if (*end == '.') s.buildNumber = uint32_t(std::strtoul(end + 1, &end, 10));
  }
  const long online = ::sysconf(_SC_NPROCESSORS_ONLN);
  s.processors = uint8_t(std::clamp(online, 1L, 255L));
  unsigned a, b, c, d;
  if (__get_cpuid(0, &a, &b, &c, &d)) {
    s.cpuVendor[0] = b, s.cpuVendor[1] = d, s.cpuVendor[2] = c;
  }
  if (__get_cpuid(1, &a, &b, &c, &d)) {
    s.cpuVersion = a, s.cpuFeatures = d;
    const unsigned family = (a >> 8) & 0xF;
    s.processorLevel = uint16_t(family == 0xF ? family + ((a >> 20) & 0xFF) : family);
    const unsigned model = ((a >> 4) & 0xF) | (family >= 6 ? ((a >> 16) & 0xF) << 4 : 0);
    s.processorRevision = uint16_t(model << 8 | (a & 0xF));
  }
  if (__get_cpuid(0x80000001, &a, &b, &c, &d)) s.amdFeatures = d;
  return s;
}

StackRange ReadableStack(uint64_t from, uint32_t limit) {
  const uint64_t page = uint64_t(::sysconf(_SC_PAGESIZE));
  unsigned char residency[1];
  auto mapped = [&](uint64_t p) { return ::mincore(reinterpret_cast<void*>(p), 1, residency) == 0; };
  // After a stack overflow the stack pointer itself may lie past the mapped
  // end: the frames worth keeping start at the first mapped page above it.
  uint64_t start = from;
  for (uint64_t p = from & ~(page - 1); !mapped(p); p += page) {
    if (p + page >= from + limit) return {from, 0};
    start = p + page;
  }
  uint64_t end = start;
  for (uint64_t p = start & ~(page - 1); p < from + limit && mapped(p); p += page)
    end = std::min<uint64_t>(p + page, from + limit);
  return {start, uint32_t(end - start)};
}

void FillContextAmd64(const ucontext_t& uc, unsigned char (&out)[md::kContextAmd64Size]) {
  std::memset(out, 0, sizeof out);
  const greg_t* g = uc.uc_mcontext.gregs;
  const uint32_t flags = md::kContextAmd64Full;
  std::memcpy(out + 0x30, &flags, 4);
  const uint64_t segments = uint64_t(g[REG_CSGSFS]);
  uint16_t ss, ds, es;
  asm volatile("mov %%ss, %0" : "=r"(ss));
  asm volatile("mov %%ds, %0" : "=r"(ds));
  asm volatile("mov %%es, %0" : "=r"(es));
  const uint16_t cs = uint16_t(segments), gs = uint16_t(segments >> 16), fs = uint16_t(segments >> 32);
  const uint16_t segs[6] = {cs, ds, es, fs, gs, ss};
  std::memcpy(out + 0x38, segs, sizeof segs);
  const uint32_t eflags = uint32_t(g[REG_EFL]);
  std::memcpy(out + 0x44, &eflags, 4);
  // Rax Rcx Rdx Rbx Rsp Rbp Rsi Rdi R8..R15 Rip, in the format's order.
  const int order[] = {REG_RAX, REG_RCX, REG_RDX, REG_RBX, REG_RSP, REG_RBP, REG_RSI, REG_RDI, REG_R8,
                       REG_R9,  REG_R10, REG_R11, REG_R12, REG_R13, REG_R14, REG_R15, REG_RIP};
  for (size_t i = 0; i < std::size(order); ++i) Put64At(out, 0x78 + 8 * i, uint64_t(g[order[i]]));
  if (uc.uc_mcontext.fpregs) {
    std::memcpy(out + 0x100, uc.uc_mcontext.fpregs, 512);  // the fxsave image, as the format keeps it
    const uint32_t mxcsr = uc.uc_mcontext.fpregs->mxcsr;
    std::memcpy(out + 0x34, &mxcsr, 4);
  }
}

bool WriteMinidump(int fd, const MinidumpInput& in) {
  if (!in.context || !in.system) return false;
  static Places places;  // too large for a handler's stack
  Plan(in, places);
  Sink out(fd);
  out.U32(md::kSignature);
  out.U32(md::kVersion);
  out.U32(kStreamCount);
  out.U32(places.directory);
  out.U32(0);  // checksum
  out.U32(in.timeStamp);
  out.U64(in.dumpType);
  out.PadTo(places.directory);
  PutDirectory(out, in, places);
  PutSystemInfo(out, *in.system, places);
  PutMiscInfo(out, in, places);
  PutException(out, in, places);
  PutThreads(out, in, places);
  PutModules(out, in, places);
  PutMemory(out, in, places);
  out.PadTo(places.user);
  if (in.userStreamSize) out.Bytes(in.userStream, in.userStreamSize);
  return out.Flush();
}

}  // namespace tovrik::crash
