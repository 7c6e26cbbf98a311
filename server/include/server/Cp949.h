#pragma once
// The wire carries Korean text in code page 949; the server's own texts and
// its configuration file are UTF-8.

#include <string>
#include <string_view>

namespace tovrik::server {

// Converts UTF-8 to code page 949. Characters without a code page 949 form
// become '?'; invalid UTF-8 bytes are skipped.
std::string Utf8ToCp949(std::string_view utf8);

// The reverse, for log lines.
std::string Cp949ToUtf8(std::string_view cp949);

}  // namespace tovrik::server
