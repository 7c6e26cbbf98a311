#include "TextUnits.h"

#include <array>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "base/CodePage.h"

namespace tovrik::controls {
using base::Cp949CharLength;

namespace {

// Every double-byte character converted once: laying out a chat line must
// not cost a conversion call per character.
class PairTable {
 public:
  PairTable() {
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
      for (unsigned trail = 0x41; trail <= 0xFE; ++trail) {
        if (!base::IsCp949TrailByte(static_cast<std::uint8_t>(trail))) continue;
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        table_[Index(static_cast<std::uint8_t>(lead), static_cast<std::uint8_t>(trail))] =
            SingleCodepoint(base::Cp949ToUtf8(std::string_view(pair, 2)));
      }
    }
  }
  char32_t Lookup(std::uint8_t lead, std::uint8_t trail) const { return table_[Index(lead, trail)]; }

 private:
  static std::size_t Index(std::uint8_t lead, std::uint8_t trail) { return (std::size_t{lead} << 8) | trail; }
  // The one code point a conversion gave, or U+FFFD when it gave anything else.
  static char32_t SingleCodepoint(const std::string& utf8) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
    char32_t cp = kReplacementCharacter;
    if (utf8.size() == 2 && (b(0) & 0xE0) == 0xC0) cp = ((b(0) & 0x1Fu) << 6) | (b(1) & 0x3Fu);
    if (utf8.size() == 3 && (b(0) & 0xF0) == 0xE0) cp = ((b(0) & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
    if (utf8.size() == 4 && (b(0) & 0xF8) == 0xF0)
      cp = ((b(0) & 0x07u) << 18) | ((b(1) & 0x3Fu) << 12) | ((b(2) & 0x3Fu) << 6) | (b(3) & 0x3Fu);
    return cp;
  }
  std::array<char32_t, 65536> table_{};
};

const PairTable& Pairs() {
  static const auto table = std::make_unique<PairTable>();
  return *table;
}

}  // namespace

char32_t CodepointOfCp949(std::string_view character) {
  if (character.size() == 1) {
    const auto byte = static_cast<std::uint8_t>(character[0]);
    return byte < 0x80 ? char32_t{byte} : kReplacementCharacter;
  }
  if (character.size() == 2 && Cp949CharLength(character, 0) == 2)
    return Pairs().Lookup(static_cast<std::uint8_t>(character[0]), static_cast<std::uint8_t>(character[1]));
  return kReplacementCharacter;
}

std::vector<TextUnit> SplitCp949(std::string_view cp949) {
  std::vector<TextUnit> units;
  units.reserve(cp949.size());
  for (std::size_t at = 0; at < cp949.size();) {
    const std::size_t length = Cp949CharLength(cp949, at);
    units.push_back({at, length, CodepointOfCp949(cp949.substr(at, length))});
    at += length;
  }
  return units;
}

void AppendCodepoint(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

int AdvanceOf(const platform::Font& font, char32_t codepoint) {
  // Fonts live as long as the process (platform::Font::Get keeps them), so
  // their addresses are stable keys. Only the user-interface thread lays
  // text out; the lock keeps a stray caller safe all the same.
  static std::mutex mutex;
  static std::unordered_map<const platform::Font*, std::unordered_map<char32_t, int>> advances;
  std::lock_guard lock(mutex);
  auto& forFont = advances[&font];
  if (auto it = forFont.find(codepoint); it != forFont.end()) return it->second;
  const int advance = font.Advance(codepoint);
  forFont.emplace(codepoint, advance);
  return advance;
}

std::size_t FitWholeCharacters(std::string_view cp949, std::size_t room) {
  std::size_t length = 0;
  while (length < cp949.size()) {
    const std::size_t step = Cp949CharLength(cp949, length);
    if (length + step > room) break;
    length += step;
  }
  return length;
}

}  // namespace tovrik::controls

namespace tovrik::controls {
namespace {

// The text's characters with ASCII letters folded to lower case, each as
// one number that sorts double-byte characters after single bytes.
unsigned FoldedAt(std::string_view text, std::size_t at, std::size_t length) {
  const auto first = static_cast<unsigned char>(text[at]);
  if (length == 2) return 0x10000u | (unsigned{first} << 8) | static_cast<unsigned char>(text[at + 1]);
  return first >= 'A' && first <= 'Z' ? first + ('a' - 'A') : first;
}

}  // namespace

int CompareIgnoringCase(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const std::size_t la = base::Cp949CharLength(a, i);
    const std::size_t lb = base::Cp949CharLength(b, j);
    const unsigned ca = FoldedAt(a, i, la);
    const unsigned cb = FoldedAt(b, j, lb);
    if (ca != cb) return ca < cb ? -1 : 1;
    i += la;
    j += lb;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) { return CompareIgnoringCase(a, b) == 0; }

bool StartsWithIgnoringCase(std::string_view cp949, std::string_view prefix) {
  // The prefix must end on one of the text's character boundaries.
  std::size_t end = 0;
  while (end < prefix.size() && end < cp949.size()) end += base::Cp949CharLength(cp949, end);
  return end == prefix.size() && EqualsIgnoringCase(cp949.substr(0, end), prefix);
}

}  // namespace tovrik::controls
