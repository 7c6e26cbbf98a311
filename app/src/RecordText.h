#pragma once
// How the controller's handlers turn the fixed text fields of server records
// into chat lines, hidden-log lines and formatted messages.

#include <cstdio>
#include <span>
#include <string>

#include "app/ClientServices.h"
#include "base/CodePage.h"
#include "protocol/TextField.h"

namespace tovrik::app {

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char text[1024];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

// A record's text as received (code page 949), never past its field.
template <std::size_t N>
std::string Held(const char (&field)[N]) {
  return std::string(protocol::ReadText(std::span<const char>(field, N)));
}

// A record's text fit for one line of the chat (UTF-8).
template <std::size_t N>
std::string Shown(const char (&field)[N]) {
  return OneLineName(base::Cp949FieldToUtf8(std::span<const char>(field, N)));
}

// The same for the hidden log, which stays in code page 949.
template <std::size_t N>
std::string Logged(const char (&field)[N]) {
  return OneLineName(Held(field));
}

}  // namespace tovrik::app
