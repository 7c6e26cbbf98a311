#pragma once
// The client's side of the chat word filter (Common/BadFilterDLL with its
// word file Common/filter.bcd).

#include "portal/PortalLibrary.h"

#include <filesystem>
#include <span>
#include <string_view>

namespace tovrik::portal {

enum BADFILTER_ERROR {
  BADFILTER_OK = 0,
  BADFILTER_DLL_NOT_LOADED = 2,    // the library is missing or cannot be loaded
  BADFILTER_INIT_NOT_FOUND = 3,    // it has no "InitBadChatMan"
  BADFILTER_INIT_FAILED = 4,       // "InitBadChatMan" refused the word file
};

class CBadFilterLoader {
 public:
  // Loads the library from the common folder and its word file.
  BADFILTER_ERROR InitFilter(const std::filesystem::path& commonFolder);

  // Writes `text` into `out` with every offending word replaced by
  // `replacement`; the library's result (1 when something was replaced).
  // Without a loaded filter `out` is left as the caller prepared it and
  // the result is 0.
  int IsBadToRep(std::string_view text, std::span<char> out, char replacement) const;

  bool IsReady() const { return isBadToRep_ != nullptr; }

 private:
  tovrik::portal::PortalLibrary library_;
  void* isBadToRep_ = nullptr;
};

// The client's one word filter.
extern CBadFilterLoader g_BadFilter;

}  // namespace tovrik::portal
