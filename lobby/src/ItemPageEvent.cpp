#include "lobby/ItemPageEvent.h"

#include <charconv>

namespace tovrik::lobby {

namespace {

// A parameter name starts the address's query or follows a separator.
bool StartsParameter(std::string_view address, std::size_t at) {
  if (at == 0) return true;
  char before = address[at - 1];
  return before == '?' || before == '&' || before == ';';
}

int Decimal(std::string_view text) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() ? value : 0;
}

ItemPageStatus StatusOf(std::string_view value) {
  if (value == "_buyend_") return kItemStatusBuyEnd;
  if (value == "_useitem_") return kItemStatusUseItem;
  if (value == "_reload_") return kItemStatusReload;
  if (value == "_nowuse_") return kItemStatusNowUse;
  return kItemStatusNone;
}

}  // namespace

std::string_view PageParameter(std::string_view address, std::string_view key) {
  for (std::size_t at = address.find(key); at != std::string_view::npos; at = address.find(key, at + 1)) {
    if (!StartsParameter(address, at)) continue;
    std::string_view value = address.substr(at + key.size());
    return value.substr(0, value.find('&'));
  }
  return {};
}

std::optional<ItemPageEvent> ParseItemPageEvent(std::string_view address) {
  bool hasStatus = false;
  for (std::size_t at = address.find("Status="); at != std::string_view::npos; at = address.find("Status=", at + 1))
    hasStatus = hasStatus || StartsParameter(address, at);
  if (!hasStatus) return std::nullopt;
  ItemPageEvent event;
  event.status = StatusOf(PageParameter(address, "Status="));
  event.type = Decimal(PageParameter(address, "type="));
  event.itemCode = Decimal(PageParameter(address, "Itemcode="));
  event.itemNo = Decimal(PageParameter(address, "Itemno="));
  event.mode = std::string(PageParameter(address, "mode="));
  event.gameCode = Decimal(PageParameter(address, "gamecode="));
  return event;
}

}  // namespace tovrik::lobby
