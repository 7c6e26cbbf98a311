#pragma once
// The administrative grant of shop items (there is no shop): the command
// line's --grant-item LOGIN:CODE[:USES] adds one item to a user's list.

#include <optional>
#include <string>
#include <string_view>

#include "server/Database.h"

namespace tovrik::server {

struct ItemGrant {
  std::string loginId;
  int itemCode = 0;
  int uses = 0;  // 0 = unlimited
};

// Parses LOGIN:CODE[:USES]; CODE is one of the shop items the server knows
// (201, 401, 501) and USES lies in 0-32767. Empty with a reason otherwise.
std::optional<ItemGrant> ParseItemGrant(std::string_view text, std::string& error);
// Adds the item to an existing user; false with a reason otherwise.
bool GrantItem(Database& db, const ItemGrant& grant, std::string& error);

}  // namespace tovrik::server
