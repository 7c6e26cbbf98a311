#include "app/LaunchParams.h"

#include <algorithm>
#include <climits>
#include <strings.h>

namespace tovrik::app {

std::string g_ServIP;
unsigned g_ServPort = 0;
std::string g_AuthCookie;
std::string g_DataCookie;
std::string g_CpCookie;
std::string g_SpareParam;
int g_LoginGroup = -1;

int GetTokenValue(std::string_view data, std::string_view name, std::string& out) {
  std::string key = std::string(name) + "=";
  if (data.size() < key.size()) return 0;
  for (size_t at = 0; at + key.size() <= data.size(); ++at) {
    if (strncasecmp(data.data() + at, key.data(), key.size()) != 0) continue;
    std::string_view value = data.substr(at + key.size());
    value = value.substr(0, std::min(value.find('|'), kTokenValueMax));
    out.assign(value);
    return 1;
  }
  return 0;
}

long long PlainDecimal(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r'))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  long long value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > INT_MAX) value = negative ? -(long long)INT_MIN : INT_MAX;
  }
  return negative ? -value : value;
}

int GetGroupNo_BySpareParam(std::string_view spare) {
  std::string value;
  if (!GetTokenValue(spare, "group", value)) return -1;
  return int(std::clamp<long long>(PlainDecimal(value), INT_MIN, INT_MAX));
}

}  // namespace tovrik::app
