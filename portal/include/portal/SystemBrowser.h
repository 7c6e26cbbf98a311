#pragma once
// Opening a page in the user's own web browser.

#include <string_view>

namespace tovrik::portal {

// Hands the address to the desktop's opener (xdg-open, or the program named
// by $TOVRIK_URL_OPENER) without waiting for the browser. False when the
// address is empty or the opener cannot be started.
bool OpenInSystemBrowser(std::string_view url);

}  // namespace tovrik::portal

// Opens the address in a new browser window; false when that cannot be done.
bool g_OpenBrowser(std::string_view url);
