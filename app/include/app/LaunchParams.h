#pragma once
// The launch parameters the portal hands to the client, kept for the whole
// run, and the helpers that read the "SpareParam" settings.

#include <string>
#include <string_view>

namespace tovrik::app {

// Master server address and port; later overwritten with the game server's.
extern std::string g_ServIP;
extern unsigned g_ServPort;
// Cookies sent unchanged in the login request and handed to the browser.
extern std::string g_AuthCookie;
extern std::string g_DataCookie;
extern std::string g_CpCookie;
// Extra settings, name=value pairs separated by "|".
extern std::string g_SpareParam;
// The "group" setting of g_SpareParam, or -1 when absent.
extern int g_LoginGroup;

// The longest value GetTokenValue hands back; longer values are cut.
inline constexpr size_t kTokenValueMax = 1023;

// Looks for "name=" anywhere in `data`, ignoring letter case, and copies
// what follows up to the next "|" (or the end) into `out`. The key may end
// another name: "subgroup=5" yields 5 for "group". 1 if found, else 0.
int GetTokenValue(std::string_view data, std::string_view name, std::string& out);

// The "group" setting by plain decimal conversion, or -1 when absent.
int GetGroupNo_BySpareParam(std::string_view spare);

// Plain decimal conversion: optional blanks and sign, then digits up to the
// first other character; no digits gives 0, and values past the int range
// stop at its ends.
long long PlainDecimal(std::string_view text);

}  // namespace tovrik::app
