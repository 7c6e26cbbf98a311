#include "server/LoginCookie.h"

#include <algorithm>

#include "server/Cp949.h"

namespace tovrik::server {
namespace {

bool ValidLoginId(std::string_view id) {
  return !id.empty() && id.size() <= 15 && std::all_of(id.begin(), id.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
           c == '-';
  });
}

bool ValidNickname(std::string_view nick) {
  return !nick.empty() && nick.size() <= 19 &&
         std::none_of(nick.begin(), nick.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.back() == '\0' || text.back() == ' ' || text.back() == '\r' || text.back() == '\n')) {
    text.remove_suffix(1);
  }
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

}  // namespace

std::optional<LoginCookie> ParseLoginCookie(std::string_view cookie) {
  cookie = Trim(cookie);
  LoginCookie result;
  if (cookie.find('=') == std::string_view::npos) {
    result.loginId = std::string(cookie);
  } else {
    while (!cookie.empty()) {
      const std::size_t end = cookie.find_first_of("&;");
      const std::string_view pair = Trim(cookie.substr(0, end));
      cookie = end == std::string_view::npos ? std::string_view() : cookie.substr(end + 1);
      const std::size_t equals = pair.find('=');
      if (equals == std::string_view::npos) continue;
      const std::string_view key = pair.substr(0, equals);
      const std::string_view value = pair.substr(equals + 1);
      if (key == "id") result.loginId = std::string(value);
      if (key == "nick") result.nickname = Utf8ToCp949(value);
    }
  }
  if (!ValidLoginId(result.loginId)) return std::nullopt;
  if (result.nickname.empty()) result.nickname = result.loginId;
  if (!ValidNickname(result.nickname)) return std::nullopt;
  return result;
}

}  // namespace tovrik::server
