#include "crash/SafeFormat.h"

#include <cstdint>

namespace tovrik::crash {
namespace {

class Output {
 public:
  Output(char* out, size_t size) : out_(out), limit_(size ? size - 1 : 0), hasRoom_(out && size) {}
  void Put(char c) {
    if (hasRoom_ && used_ < limit_) out_[used_++] = c;
  }
  void Pad(char c, int count) {
    for (int i = 0; i < count; ++i) Put(c);
  }
  size_t Finish() {
    if (hasRoom_) out_[used_] = '\0';
    return used_;
  }

 private:
  char* out_;
  size_t limit_;
  bool hasRoom_;
  size_t used_ = 0;
};

struct Spec {
  bool zeroPad = false;
  bool leftAlign = false;
  int width = 0;
  int length = 0;  // 0 int, 1 long, 2 long long, 3 size_t, -1 short
};

void PutDigits(Output& out, const Spec& spec, uint64_t value, unsigned base, bool upper, bool negative) {
  char digits[24];
  int n = 0;
  const char* table = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  do {
    digits[n++] = table[value % base];
    value /= base;
  } while (value);
  const int total = n + (negative ? 1 : 0);
  const int padding = spec.width > total ? spec.width - total : 0;
  if (!spec.leftAlign && !spec.zeroPad) out.Pad(' ', padding);
  if (negative) out.Put('-');
  if (!spec.leftAlign && spec.zeroPad) out.Pad('0', padding);
  while (n) out.Put(digits[--n]);
  if (spec.leftAlign) out.Pad(' ', padding);
}

int64_t SignedArgument(const Spec& spec, va_list& args) {
  switch (spec.length) {
    case 1: return va_arg(args, long);
    case 2: return va_arg(args, long long);
    case 3: return int64_t(va_arg(args, size_t));
    case -1: return short(va_arg(args, int));
    default: return va_arg(args, int);
  }
}

uint64_t UnsignedArgument(const Spec& spec, va_list& args) {
  switch (spec.length) {
    case 1: return va_arg(args, unsigned long);
    case 2: return va_arg(args, unsigned long long);
    case 3: return va_arg(args, size_t);
    case -1: return static_cast<unsigned short>(va_arg(args, unsigned));
    default: return va_arg(args, unsigned);
  }
}

const char* ReadSpec(const char* f, Spec& spec) {
  for (;; ++f) {
    if (*f == '0') spec.zeroPad = true;
    else if (*f == '-') spec.leftAlign = true;
    else break;
  }
  while (*f >= '0' && *f <= '9') spec.width = spec.width * 10 + (*f++ - '0');
  if (*f == 'h') spec.length = -1, ++f;
  else if (*f == 'z') spec.length = 3, ++f;
  else if (*f == 'l') {
    spec.length = 1, ++f;
    if (*f == 'l') spec.length = 2, ++f;
  }
  return f;
}

}  // namespace

size_t SafeFormatV(char* out, size_t size, const char* format, va_list args) {
  Output o(out, size);
  va_list ap;
  va_copy(ap, args);
  for (const char* f = format; *f; ++f) {
    if (*f != '%') {
      o.Put(*f);
      continue;
    }
    const char* start = f;
    Spec spec;
    f = ReadSpec(f + 1, spec);
    switch (*f) {
      case 'd':
      case 'i': {
        const int64_t v = SignedArgument(spec, ap);
        PutDigits(o, spec, v < 0 ? uint64_t(0) - uint64_t(v) : uint64_t(v), 10, false, v < 0);
        break;
      }
      case 'u': PutDigits(o, spec, UnsignedArgument(spec, ap), 10, false, false); break;
      case 'x': PutDigits(o, spec, UnsignedArgument(spec, ap), 16, false, false); break;
      case 'X': PutDigits(o, spec, UnsignedArgument(spec, ap), 16, true, false); break;
      case 'c': o.Put(char(va_arg(ap, int))); break;
      case 's': {
        const char* s = va_arg(ap, const char*);
        if (!s) s = "(null)";
        const int len = int(SafeLength(s));
        const int padding = spec.width > len ? spec.width - len : 0;
        if (!spec.leftAlign) o.Pad(' ', padding);
        while (*s) o.Put(*s++);
        if (spec.leftAlign) o.Pad(' ', padding);
        break;
      }
      case '%': o.Put('%'); break;
      default:  // not ours: keep the text as written
        for (const char* c = start; c <= f && *c; ++c) o.Put(*c);
        if (!*f) --f;
    }
  }
  va_end(ap);
  return o.Finish();
}

size_t SafeFormat(char* out, size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const size_t n = SafeFormatV(out, size, format, args);
  va_end(args);
  return n;
}

void SafeCopy(char* out, size_t size, const char* text) {
  if (!size) return;
  size_t i = 0;
  for (; text && text[i] && i + 1 < size; ++i) out[i] = text[i];
  out[i] = '\0';
}

size_t SafeLength(const char* text) {
  size_t n = 0;
  while (text && text[n]) ++n;
  return n;
}

}  // namespace tovrik::crash
