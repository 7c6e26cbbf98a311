#pragma once
// The local stand-in for the portal's authentication cookie: it names the
// user. Either a bare login id ("alice") or key=value pairs separated by '&'
// or ';' ("id=alice&nick=Alice"). Login ids are 1-15 characters of
// A-Z a-z 0-9 _ . -; the nickname (UTF-8, at most 19 bytes in code page 949)
// defaults to the id and is only used when the id is registered.

#include <optional>
#include <string>
#include <string_view>

namespace tovrik::server {

struct LoginCookie {
  std::string loginId;
  std::string nickname;  // code page 949
};

std::optional<LoginCookie> ParseLoginCookie(std::string_view cookie);

}  // namespace tovrik::server
