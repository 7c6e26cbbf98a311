#pragma once
// Records carry Korean text in code page 949; logs, message boxes and
// configuration files are UTF-8.

#include <string>
#include <string_view>

namespace tovrik::protocol {

// Converts UTF-8 to code page 949. Characters without a code page 949 form
// become '?'; invalid UTF-8 bytes are skipped.
std::string Utf8ToCp949(std::string_view utf8);

// The reverse. Bytes that are not code page 949 become '?'.
std::string Cp949ToUtf8(std::string_view cp949);

}  // namespace tovrik::protocol
