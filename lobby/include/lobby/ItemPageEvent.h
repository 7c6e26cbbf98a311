#pragma once
// The item shop's pages tell the item window what happened by navigating
// to an address that holds "Status=": the window cancels that navigation
// and acts on the address's parameters. A parameter is found by its whole
// name ("type=" is not found inside "gametype="); its value runs to the
// next "&" or the end.

#include <optional>
#include <string>
#include <string_view>

namespace tovrik::lobby {

enum ItemPageStatus {
  kItemStatusNone = 0,  // not one the window knows
  kItemStatusBuyEnd = 1,
  kItemStatusUseItem = 2,
  kItemStatusReload = 3,
  kItemStatusNowUse = 4,
};

struct ItemPageEvent {
  ItemPageStatus status = kItemStatusNone;
  int type = 0;
  int itemCode = 0;
  int itemNo = 0;
  std::string mode;
  int gameCode = 0;
};

// The value of parameter `key` (its name with "=", as "type="); empty when
// it is missing or nothing follows it.
std::string_view PageParameter(std::string_view address, std::string_view key);

// The event of an address, or nullopt when it holds no "Status=" parameter
// (then the navigation goes ahead). Numbers that are missing or not
// decimal read as 0.
std::optional<ItemPageEvent> ParseItemPageEvent(std::string_view address);

}  // namespace tovrik::lobby
