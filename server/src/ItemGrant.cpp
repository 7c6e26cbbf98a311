#include "server/ItemGrant.h"

#include <charconv>

#include "server/GameRules.h"

namespace tovrik::server {
namespace {

bool ParseNumber(std::string_view text, int low, int high, int& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

}  // namespace

std::optional<ItemGrant> ParseItemGrant(std::string_view text, std::string& error) {
  const std::size_t first = text.find(':');
  if (first == std::string_view::npos || first == 0) {
    error = "--grant-item: expected LOGIN:CODE[:USES], got " + std::string(text);
    return std::nullopt;
  }
  ItemGrant grant;
  grant.loginId = std::string(text.substr(0, first));
  std::string_view rest = text.substr(first + 1);
  const std::size_t second = rest.find(':');
  const std::string_view code = rest.substr(0, second);
  if (!ParseNumber(code, 0, 99999, grant.itemCode) ||
      (grant.itemCode != kJumpTicketItem && grant.itemCode != kSuperRoomItem && grant.itemCode != kPlusPointItem)) {
    error = "--grant-item: item code must be 201, 401 or 501, got " + std::string(code);
    return std::nullopt;
  }
  if (second != std::string_view::npos && !ParseNumber(rest.substr(second + 1), 0, 32767, grant.uses)) {
    error = "--grant-item: uses must lie in 0-32767, got " + std::string(rest.substr(second + 1));
    return std::nullopt;
  }
  return grant;
}

bool GrantItem(Database& db, const ItemGrant& grant, std::string& error) {
  const auto user = db.FindUserByLogin(grant.loginId);
  if (!user) {
    error = "no user " + grant.loginId + " (a user exists after its first login)";
    return false;
  }
  ItemRecord item;
  item.userId = user->id;
  item.itemCode = grant.itemCode;
  item.useLimit = grant.uses;
  if (!db.AddItem(item)) {
    error = "cannot store the item of " + grant.loginId;
    return false;
  }
  return true;
}

}  // namespace tovrik::server
