#include "protocol/TextField.h"

#include <algorithm>
#include <cstring>

namespace tovrik::protocol {

std::string_view UntilZero(std::string_view text)
{
    return text.substr(0, std::min(text.find('\0'), text.size()));
}

namespace {

// Offset of the first character boundary at or after `offset`.
std::size_t BoundaryAtOrAfter(std::string_view text, std::size_t offset)
{
    std::size_t pos = 0;
    while (pos < offset && pos < text.size()) {
        pos += IsCp949LeadByte(static_cast<unsigned char>(text[pos])) ? 2 : 1;
    }
    return std::min(pos, text.size());
}

// Offset of the last character boundary at or before `offset`.
std::size_t BoundaryAtOrBefore(std::string_view text, std::size_t offset)
{
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t width = IsCp949LeadByte(static_cast<unsigned char>(text[pos])) ? 2 : 1;
        if (pos + width > offset) break;
        pos += width;
    }
    return std::min(pos, offset);
}

}  // namespace

std::string_view Cp949Head(std::string_view text, std::size_t limit)
{
    if (text.size() <= limit) return text;
    return text.substr(0, BoundaryAtOrBefore(text, limit));
}

std::string_view Cp949Tail(std::string_view text, std::size_t limit)
{
    if (text.size() <= limit) return text;
    return text.substr(BoundaryAtOrAfter(text, text.size() - limit));
}

void CopyIfShorter(std::span<char> field, std::string_view text)
{
    std::fill(field.begin(), field.end(), '\0');
    text = UntilZero(text);
    if (text.size() < field.size()) std::memcpy(field.data(), text.data(), text.size());
}

void CopyAtMost(std::span<char> field, std::string_view text, std::size_t n)
{
    std::fill(field.begin(), field.end(), '\0');
    if (field.empty()) return;
    const std::string_view kept = Cp949Head(UntilZero(text), std::min(n, field.size() - 1));
    std::memcpy(field.data(), kept.data(), kept.size());
}

void SetRelayID(std::span<char> field, std::string_view id)
{
    CopyAtMost(field, id, field.size() - 1);
}

std::string_view ReadText(std::span<const char> field)
{
    return UntilZero(std::string_view(field.data(), field.size()));
}

}  // namespace tovrik::protocol
