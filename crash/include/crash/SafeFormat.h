#pragma once
// printf-style formatting that may run inside a signal handler: no heap, no
// locale, no locks. It knows the conversions the crash report uses: d i u x X
// s c and %%, with the '0' and '-' flags, a width, and the h l ll z length
// modifiers. Anything else is copied as written.

#include <cstdarg>
#include <cstddef>

namespace tovrik::crash {

// Writes at most `size` − 1 characters and a terminating NUL; returns the
// number of characters written (never more than `size` − 1).
size_t SafeFormat(char* out, size_t size, const char* format, ...) __attribute__((format(printf, 3, 4)));
size_t SafeFormatV(char* out, size_t size, const char* format, va_list args);

// Bounded copy that always terminates `out` (when `size` > 0).
void SafeCopy(char* out, size_t size, const char* text);
size_t SafeLength(const char* text);

}  // namespace tovrik::crash
