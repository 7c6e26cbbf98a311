// BadFilterDLL: the portal's chat word filter (see BadWordFilter.h for the
// word file and the matching rules).

#include "BadWordFilter.h"
#include "portal/PortalExports.h"

#include <cstring>

namespace {
tovrik::badfilter::BadWordFilter g_filter;
}

// Reads the word file; non-zero when the filter is ready.
TOVRIK_PORTAL_EXPORT int InitBadChatMan(const char* wordFile) { return wordFile && g_filter.LoadFile(wordFile) ? 1 : 0; }

// 0 turns the filter off, anything else on; returns the previous level.
TOVRIK_PORTAL_EXPORT int SetLevel(int level) { return g_filter.SetLevel(level); }

TOVRIK_PORTAL_EXPORT int IsBad(const char* text) { return text && g_filter.IsBad(text) ? 1 : 0; }

// 1 when a word was replaced, 0 when the text is clean; the output always
// receives the (cut) text when it has room for anything.
TOVRIK_PORTAL_EXPORT int IsBadToRep(const char* text, char* out, int outSize, char replacement) {
  if (!text || !out || outSize <= 0) return 0;
  return g_filter.Replace(std::string_view(text, std::strlen(text)), out, size_t(outSize), replacement) ? 1 : 0;
}
