#include "BadWordFilter.h"

#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>

namespace tovrik::badfilter {
namespace {

constexpr std::string_view kSignature = "TOVRIK-BADFILTER 1";

bool IsLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsTrail(unsigned char c) { return (c >= 0x41 && c <= 0x5A) || (c >= 0x61 && c <= 0x7A) || (c >= 0x81 && c <= 0xFE); }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::optional<std::string> Utf8ToCp949(std::string_view utf8) {
  iconv_t cd = iconv_open("CP949", "UTF-8");
  if (cd == iconv_t(-1)) return std::nullopt;
  std::string out(utf8.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* dst = out.data();
  size_t outLeft = out.size();
  size_t done = iconv(cd, &in, &inLeft, &dst, &outLeft);
  iconv_close(cd);
  if (done == size_t(-1) || inLeft != 0) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

// Latin letters of one-byte characters to lower case; two-byte characters
// stay as they are (their second byte may look like a letter).
std::string FoldCase(std::string_view text) {
  std::string folded(text);
  for (size_t i = 0; i < folded.size(); ++i) {
    if (StartsDoubleByte(folded, i)) ++i;
    else folded[i] = Lower(folded[i]);
  }
  return folded;
}

}  // namespace

bool StartsDoubleByte(std::string_view text, size_t at) {
  return at + 1 < text.size() && IsLead(static_cast<unsigned char>(text[at])) &&
         IsTrail(static_cast<unsigned char>(text[at + 1]));
}

bool BadWordFilter::LoadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "word filter: %s cannot be read\n", path.c_str());
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::string error;
  if (!LoadText(text.str(), error)) {
    std::fprintf(stderr, "word filter: %s: %s\n", path.c_str(), error.c_str());
    return false;
  }
  return true;
}

bool BadWordFilter::LoadText(std::string_view text, std::string& error) {
  std::vector<std::string> words;
  size_t lineNo = 0;
  while (!text.empty() || lineNo == 0) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++lineNo;
    if (lineNo == 1) {
      if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);  // editors may add a byte-order mark
      if (Trim(line) != kSignature) {
        error = "not a word file (the first line must be \"" + std::string(kSignature) + "\")";
        return false;
      }
      continue;
    }
    line = Trim(line);
    if (line.empty() || line.front() == '#') continue;
    std::optional<std::string> word = Utf8ToCp949(line);
    if (!word) {
      std::fprintf(stderr, "word filter: line %zu has no code page 949 form, passed over\n", lineNo);
      continue;
    }
    words.push_back(FoldCase(*word));
  }
  std::sort(words.begin(), words.end(),
            [](const std::string& a, const std::string& b) { return a.size() != b.size() ? a.size() > b.size() : a < b; });
  words.erase(std::unique(words.begin(), words.end()), words.end());
  words_ = std::move(words);
  return true;
}

int BadWordFilter::SetLevel(int level) {
  int previous = level_;
  level_ = level;
  return previous;
}

// Length of the longest word that starts at `at` (a character start), or 0.
size_t BadWordFilter::MatchAt(std::string_view text, size_t at) const {
  for (const std::string& word : words_) {
    if (word.size() > text.size() - at) continue;
    bool same = true;
    for (size_t k = 0; k < word.size() && same; ++k) {
      if (StartsDoubleByte(word, k)) {
        same = text[at + k] == word[k] && text[at + k + 1] == word[k + 1];
        ++k;
      } else {
        same = Lower(text[at + k]) == word[k];
      }
    }
    if (same) return word.size();
  }
  return 0;
}

std::vector<std::pair<size_t, size_t>> BadWordFilter::FindAll(std::string_view text) const {
  std::vector<std::pair<size_t, size_t>> found;
  if (level_ == 0) return found;
  for (size_t at = 0; at < text.size(); at += StartsDoubleByte(text, at) ? 2 : 1)
    if (size_t length = MatchAt(text, at)) found.emplace_back(at, at + length);
  return found;
}

bool BadWordFilter::IsBad(std::string_view text) const { return !FindAll(text).empty(); }

bool BadWordFilter::Replace(std::string_view text, char* out, size_t outSize, char replacement) const {
  if (!out || outSize == 0) return false;
  size_t length = 0;
  while (length < text.size()) {
    size_t step = StartsDoubleByte(text, length) ? 2 : 1;
    if (length + step > outSize - 1) break;
    length += step;
  }
  std::copy_n(text.data(), length, out);
  out[length] = '\0';
  std::vector<std::pair<size_t, size_t>> found = FindAll(text);
  for (auto [begin, end] : found)
    for (size_t i = begin; i < std::min(end, length); ++i) out[i] = replacement;
  return !found.empty();
}

}  // namespace tovrik::badfilter
