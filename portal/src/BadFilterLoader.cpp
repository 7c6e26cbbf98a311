#include "portal/BadFilterLoader.h"

#include "platform/PathResolver.h"
#include "portal/PortalExports.h"

#include <algorithm>

#include <string>

namespace tovrik::portal {

CBadFilterLoader g_BadFilter;

BADFILTER_ERROR CBadFilterLoader::InitFilter(const std::filesystem::path& commonFolder) {
  isBadToRep_ = nullptr;
  if (!library_.Load(tovrik::portal::PortalLibraryPath(commonFolder, "BadFilterDLL.dll"))) return BADFILTER_DLL_NOT_LOADED;
  auto init = library_.Find<InitBadChatMan_t>("InitBadChatMan");
  if (!init) {
    library_.Unload();
    return BADFILTER_INIT_NOT_FOUND;
  }
  // "SetLevel" and "IsBad" are resolved by the portal's own users; the
  // client always filters and only ever asks for the replaced text.
  isBadToRep_ = library_.Symbol("IsBadToRep");
  std::string wordFile = tovrik::platform::ResolvePath("filter.bcd", commonFolder).string();
  if (init(wordFile.c_str()) == 0) {
    isBadToRep_ = nullptr;
    library_.Unload();
    return BADFILTER_INIT_FAILED;
  }
  return BADFILTER_OK;
}

int CBadFilterLoader::IsBadToRep(std::string_view text, std::span<char> out, char replacement) const {
  if (!isBadToRep_ || out.empty()) return 0;
  std::string textZ(text);
  auto isBadToRep = reinterpret_cast<IsBadToRep_t>(isBadToRep_);
  return isBadToRep(textZ.c_str(), out.data(), int(std::min<size_t>(out.size(), 0x7FFFFFFF)), replacement);
}

}  // namespace tovrik::portal
