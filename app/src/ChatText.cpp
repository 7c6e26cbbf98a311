#include "app/ChatText.h"

#include "portal/BadFilterLoader.h"
#include "protocol/TextField.h"

#include <algorithm>
#include <array>
#include <span>

namespace tovrik::app {

std::string SanitizeChatText(std::string_view cp949) {
  std::string text(cp949);
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return text;
}

std::string_view CutCp949(std::string_view cp949, std::size_t limit) { return tovrik::protocol::Cp949Head(cp949, limit); }

std::string FilterChatText(std::string_view cp949) {
  std::array<char, kFilterBufferSize> out{};
  const std::string_view kept = CutCp949(tovrik::protocol::UntilZero(cp949), out.size() - 1);
  std::copy(kept.begin(), kept.end(), out.begin());
  tovrik::portal::g_BadFilter.IsBadToRep(kept, out, '*');
  // Whatever the filter did, the buffer's last byte ends the text.
  out.back() = '\0';
  return std::string(tovrik::protocol::ReadText(std::span<const char>(out)));
}

}  // namespace tovrik::app
