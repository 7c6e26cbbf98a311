#include "protocol/MessageCatalogue.h"

#include <algorithm>
#include <array>
#include <string>

namespace tovrik::protocol {

namespace {

#define TOVRIK_PROTOCOL_CATALOGUE_ENTRY(id, name, direction, server) \
    MessageInfo{id, #name, Direction::direction, ServerKind::server},
constexpr std::array kCatalogue{TOVRIK_PROTOCOL_MESSAGES(TOVRIK_PROTOCOL_CATALOGUE_ENTRY)};
#undef TOVRIK_PROTOCOL_CATALOGUE_ENTRY

consteval bool IdsAreUnique()
{
    for (std::size_t i = 0; i < kCatalogue.size(); ++i) {
        for (std::size_t j = i + 1; j < kCatalogue.size(); ++j) {
            if (kCatalogue[i].id == kCatalogue[j].id) return false;
        }
    }
    return true;
}
static_assert(IdsAreUnique(), "a message id appears twice in the catalogue");

}  // namespace

std::span<const MessageInfo> AllMessages() { return kCatalogue; }

const MessageInfo* FindMessage(int id)
{
    const auto found = std::find_if(kCatalogue.begin(), kCatalogue.end(),
                                    [id](const MessageInfo& info) { return info.id == id; });
    return found == kCatalogue.end() ? nullptr : &*found;
}

std::string MessageName(int id)
{
    if (const MessageInfo* info = FindMessage(id)) return std::string(info->name);
    return "unknown message " + std::to_string(id);
}

}  // namespace tovrik::protocol
